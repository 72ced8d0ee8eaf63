#include "export/current_display_export.h"

#include <gtest/gtest.h>

#include "core/messages.h"
#include "support/sample_rmd.h"
#include "support/test_support.h"

namespace ombrix::exports {
namespace {

using test::TempDir;

// A 3 x 4 grid at 139 E, 36 N with a shown map whose cell ID holds ID - 1.
core::AnalysisConditions shownMap(const std::filesystem::path& dir, int rows = 3, int cols = 4) {
  core::AnalysisConditions c;
  c.openRmdDir = dir.string();
  c.header.gridRows = static_cast<std::int16_t>(rows);
  c.header.gridCols = static_cast<std::int16_t>(cols);
  c.header.fileWestLon = 139'000'000;
  c.header.fileNorthLat = 36'000'000;
  c.geometry.cellWidth = 12'500;
  c.geometry.cellHeight = 8'333;
  for (int id = 0; id < rows * cols; ++id) c.rainGrid.push_back(static_cast<std::int16_t>(id - 1));
  c.frameLabel = "200507011230";
  return c;
}

TEST(CurrentDisplayExport, OneLinePerCellInIdOrder) {
  TempDir dir;
  const CurrentDisplayResult result = exportCurrentDisplay(shownMap(dir.path()), "関東");
  ASSERT_EQ(result.outcome, CurrentDisplayOutcome::Written) << result.status.message;
  EXPECT_EQ(result.path, dir / "Ka200507011230.CSV");
  const auto lines = test::crlfLines(test::readText(result.path));
  ASSERT_EQ(lines.size(), 13u);
  EXPECT_EQ(lines[0], "ID,M,N,Keido,Ido,Value");
  EXPECT_EQ(lines[1], "0,0,0,139,36,-1");
  EXPECT_EQ(lines[10], "9,2,1,139.0125,35.98333,8");
  EXPECT_EQ(lines[12], "11,2,3,139.0375,35.98333,10");
}

TEST(CurrentDisplayExport, OneCellGridsReplaceEarlierExportsAndOtherAreasAreMy) {
  TempDir dir;
  auto c = shownMap(dir.path(), 1, 1);
  c.rainGrid = {139};
  c.frameLabel = "200507010000200507012330-SUM";
  ASSERT_EQ(exportCurrentDisplay(c, "全国").outcome, CurrentDisplayOutcome::Written);
  EXPECT_EQ(test::readText(dir / "AJ200507010000200507012330-SUM.CSV"), "ID,M,N,Keido,Ido,Value\r\n0,0,0,139,36,139\r\n");
  test::writeText(dir / "My200507011230.CSV", "old text that is longer than the new file will be ..........");
  c.rainGrid = {0};
  c.frameLabel = "200507011230";
  for (const char* area : {"任意のエリア", "", "関東 "}) {
    ASSERT_EQ(exportCurrentDisplay(c, area).outcome, CurrentDisplayOutcome::Written);
  }
  EXPECT_EQ(test::readText(dir / "My200507011230.CSV"), "ID,M,N,Keido,Ido,Value\r\n0,0,0,139,36,0\r\n");
  EXPECT_EQ(test::namesIn(dir.path()).size(), 2u);
}

TEST(CurrentDisplayExport, NothingShownOrAnUnwritableFolderWritesNothing) {
  TempDir dir;
  auto c = shownMap(dir.path());
  c.frameLabel.clear();
  const CurrentDisplayResult nothing = exportCurrentDisplay(c, "関東");
  EXPECT_EQ(nothing.outcome, CurrentDisplayOutcome::NothingShown);
  EXPECT_TRUE(nothing.status.message.empty());
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
  test::writeText(dir / "plain-file", "x");
  c = shownMap(dir / "plain-file");
  const CurrentDisplayResult result = exportCurrentDisplay(c, "関東");
  EXPECT_EQ(result.outcome, CurrentDisplayOutcome::Failed);
  EXPECT_EQ(result.status.message,
            std::string(messages::kCannotCreateFile) + (dir / "plain-file" / "Ka200507011230.CSV").string());
}

}  // namespace
}  // namespace ombrix::exports
