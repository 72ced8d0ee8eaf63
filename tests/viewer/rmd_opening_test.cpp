#include "viewer/rmd_opening.h"

#include <gtest/gtest.h>

#include "core/messages.h"
#include "support/test_support.h"
#include "viewer/rmd_test_file.h"

namespace ombrix::viewer {
namespace {

using test::TempDir;

TEST(RmdOpening, ReadsHeaderIndexTextsAndGeometry) {
  TempDir dir;
  test::TestRmd file = test::makeTestRmd(2, 3, std::vector<std::vector<std::int16_t>>(48, {1, 2, 3, 4, 5, 6}));
  file.stamps.assign(48, {2003, 6, 5, 0, 0});
  file.stamps.front() = {2003, 6, 5, 9, 0};
  file.stamps.back() = {2003, 6, 5, 23, 30};
  file.header.fileNorthLat = 35123457;
  const auto path = dir / "Ka20036052003605.RMD";
  test::writeTestRmd(path, file);

  const RmdOpening opening = openRmdFile(path, 689, 593);
  ASSERT_EQ(opening.outcome, OpenOutcome::Opened) << opening.status.message;
  const OpenedRmd& opened = opening.file;
  EXPECT_EQ(opened.header, file.header);
  ASSERT_EQ(opened.timeTexts.size(), 48u);
  EXPECT_EQ(opened.timeTexts.front(), "2003/6/5 09: 00");
  EXPECT_EQ(opened.timeTexts.back(), "2003/6/5 23: 30");
  EXPECT_EQ(opened.areaName, std::optional<std::string>("関東"));
  EXPECT_EQ(opened.northLatText, "35.12346");
  EXPECT_EQ(opened.westLonText, "137");
  EXPECT_EQ(opened.eastLonText, "137.0625");
  EXPECT_EQ(opened.firstYearText + opened.firstMonthText + opened.firstDayText, "200365");
  EXPECT_EQ(opened.lastYearText + opened.lastMonthText + opened.lastDayText, "200365");

  core::AnalysisConditions conditions;
  conditions.areaWestLon = 139000000;
  applyOpening(opening, conditions);
  EXPECT_EQ(conditions.openRmdPath, path.string());
  EXPECT_EQ(conditions.openRmdDir, dir.path().string());
  EXPECT_EQ(conditions.areaName, "関東");
  EXPECT_EQ(conditions.areaWestLon, 139000000);
  EXPECT_EQ(conditions.frameCount, 48);
  EXPECT_EQ(conditions.frameHourMinute.back(), (std::array<std::uint8_t, 2>{23, 30}));
  EXPECT_EQ(conditions.frameOffset.size(), 48u);
  EXPECT_EQ(conditions.rainGrid.size(), 6u);
  EXPECT_EQ(conditions.cellWidth, 31250);
  EXPECT_EQ(conditions.mapWidth, 93750.0f);
  EXPECT_EQ(conditions.mapCenterLon, static_cast<float>(137000000 + 46875.0));
}

TEST(RmdOpening, RegionNameComesFromTheFirstTwoCharacters) {
  TempDir dir;
  const test::TestRmd file = test::makeTestRmd(1, 1, {{0}});
  const std::vector<std::pair<std::string, std::optional<std::string>>> cases = {
      {"Kyanything.RMD", "九州"}, {"AJ.RMD", "全国"}, {"My1.RMD", "任意のエリア"},
      {"ho2003.RMD", std::nullopt}, {"K", std::nullopt}};
  for (const auto& [name, region] : cases) {
    test::writeTestRmd(dir / name, file);
    core::AnalysisConditions conditions;
    conditions.areaName = "北海道";
    const RmdOpening opening = openRmdFile(dir / name, 100, 100);
    applyOpening(opening, conditions);
    EXPECT_EQ(opening.file.areaName, region) << name;
    EXPECT_EQ(conditions.areaName, region.value_or("北海道")) << name;
  }
}

TEST(RmdOpening, ScaleFactorChangesOnFirstOfApril2001) {
  TempDir dir;
  test::TestRmd file = test::makeTestRmd(1, 2, {{0, 0}});
  file.header.cellLonStep = 15625;
  file.stamps[0] = {2001, 3, 31, 23, 0};
  test::writeTestRmd(dir / "AJ1.RMD", file);
  file.stamps[0] = {2001, 4, 1, 0, 0};
  test::writeTestRmd(dir / "AJ2.RMD", file);
  EXPECT_EQ(openRmdFile(dir / "AJ1.RMD", 10, 10).file.geometry.cellWidth, 31250);
  EXPECT_EQ(openRmdFile(dir / "AJ2.RMD", 10, 10).file.geometry.cellWidth, 15625);
  EXPECT_EQ(scaleFactorForDate(2000, 12), 2);
  EXPECT_EQ(scaleFactorForDate(2003, 1), 1);
}

TEST(RmdOpening, ZoomOfASquareGridOnAWideSurfaceIsLimitedByTheHeight) {
  core::RmdHeader header;
  header.gridRows = 10;
  header.gridCols = 10;
  header.cellLonStep = 1000;
  header.cellLatStep = 1000;
  header.fileWestLon = 5000;
  header.fileNorthLat = 90000;
  const ViewGeometry g = computeViewGeometry(header, 1, 400, 200);
  EXPECT_EQ(g.zoom, static_cast<float>(0.95 * 200 / 10000));
  EXPECT_EQ(g.viewCenterX, 200.0f);
  EXPECT_EQ(g.viewCenterY, 100.0f);
  EXPECT_EQ(g.mapCenterLon, 10000.0f);
  EXPECT_EQ(g.mapCenterLat, 85000.0f);
}

TEST(RmdOpening, MissingFileEmptiesThePathOnly) {
  TempDir dir;
  core::AnalysisConditions conditions;
  conditions.openRmdPath = "/old/Ka.RMD";
  conditions.frameCount = 7;
  for (const auto& path : {dir / "none.RMD", dir.path()}) {
    const RmdOpening opening = openRmdFile(path, 689, 593);
    EXPECT_EQ(opening.outcome, OpenOutcome::FileMissing);
    EXPECT_EQ(opening.status.message, messages::kFileNotFound);
    applyOpening(opening, conditions);
    EXPECT_EQ(conditions.openRmdPath, "");
    EXPECT_EQ(conditions.frameCount, 7);
  }
  EXPECT_EQ(conditions.openRmdDir, dir.path().parent_path().string());
}

TEST(RmdOpening, UnusableFilesAreRefusedAndChangeNothing) {
  TempDir dir;
  std::vector<std::uint8_t> good(28 + 10, 0);
  core::RmdHeader header;
  header.frameCount = 1;
  header.gridRows = 1;
  header.gridCols = 1;
  header.cellLonStep = 10;
  header.cellLatStep = 10;
  const auto withHeader = [&](auto change) {
    core::RmdHeader h = header;
    change(h);
    std::vector<std::uint8_t> bytes = good;
    core::encodeRmdHeader(h, bytes.data());
    return bytes;
  };
  const std::vector<std::vector<std::uint8_t>> files = {
      std::vector<std::uint8_t>(27, 1),
      withHeader([](core::RmdHeader& h) { h.frameCount = 0; }),
      withHeader([](core::RmdHeader& h) { h.frameCount = -3; }),
      withHeader([](core::RmdHeader& h) { h.frameCount = 2; }),  // index ends after one entry
      withHeader([](core::RmdHeader& h) { h.gridRows = 0; }),
      withHeader([](core::RmdHeader& h) { h.gridCols = -1; }),
      withHeader([](core::RmdHeader& h) { h.cellLatStep = 0; }),
  };
  for (std::size_t k = 0; k < files.size(); ++k) {
    const auto path = dir / ("Ka" + std::to_string(k) + ".RMD");
    test::writeBytes(path, files[k]);
    core::AnalysisConditions conditions;
    conditions.openRmdPath = "/old/Ho.RMD";
    conditions.areaName = "北海道";
    const RmdOpening opening = openRmdFile(path, 689, 593);
    EXPECT_EQ(opening.outcome, OpenOutcome::NotUsable) << k;
    EXPECT_EQ(opening.status.message, std::string(messages::kNotRmdFile) + path.string()) << k;
    applyOpening(opening, conditions);
    EXPECT_EQ(conditions.openRmdPath, "/old/Ho.RMD");
    EXPECT_EQ(conditions.areaName, "北海道");
    EXPECT_EQ(conditions.frameCount, 0);
  }
}

}  // namespace
}  // namespace ombrix::viewer
