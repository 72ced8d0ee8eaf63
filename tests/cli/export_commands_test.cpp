// The export commands of ombrix-tool, run as a user runs them, on real RMD files.
#include <gtest/gtest.h>

#include "core/messages.h"
#include "support/sample_rmd.h"
#include "support/test_support.h"
#include "tests/cli/cli_test_support.h"

namespace ombrix {
namespace {

namespace fs = std::filesystem;
using test::TempDir;
using test::tool;
using test::expectRefused;

// Two half-hourly days of a 2 x 3 grid at 139 E, 36 N; cell c of frame k holds k + c, except
// cell 0 of frame 1, which has no data.
fs::path kantoFile(const fs::path& dir) {
  const fs::path path = dir / "Ka20057012005702.RMD";
  test::writeSampleRmd(path, test::sampleGrid(96, 2, 3), 48, test::dayStamps(2005, 7, 1, 2, 48), [](int k, int c) {
    return static_cast<std::int16_t>(k == 1 && c == 0 ? -1 : k + c);
  });
  return path;
}

TEST(ExportCommands, FrameSumAndMaximumMaps) {
  TempDir dir;
  const std::string file = test::shellQuote(kantoFile(dir.path()).string());
  const auto frame = tool("export-frame " + file + " --frame 1");
  ASSERT_EQ(frame.exitCode, 0) << frame.err;
  EXPECT_EQ(frame.out, (dir / "Ka200507010030.CSV").string() + "\n");
  auto lines = test::crlfLines(test::readText(dir / "Ka200507010030.CSV"));
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[1], "0,0,0,139,36,-1");
  EXPECT_EQ(lines[6], "5,1,2,139.025,35.99167,6");

  ASSERT_EQ(tool("export-sum " + file + " --from 0 --to 2").exitCode, 0);
  lines = test::crlfLines(test::readText(dir / "Ka200507010000200507010100-SUM.CSV"));
  EXPECT_EQ(lines[1], "0,0,0,139,36,2");  // 0 + (no data) + 2
  EXPECT_EQ(lines[2], "1,0,1,139.0125,36,6");

  ASSERT_EQ(tool("export-max " + file + " --from 0 --to 1").exitCode, 0);
  lines = test::crlfLines(test::readText(dir / "Ka200507010000200507010030-MAX.CSV"));
  EXPECT_EQ(lines[1], "0,0,0,139,36,0");
  EXPECT_EQ(lines[6], "5,1,2,139.025,35.99167,6");
}

TEST(ExportCommands, RangeAndUsageRefusals) {
  TempDir dir;
  const std::string file = test::shellQuote(kantoFile(dir.path()).string());
  expectRefused(tool("export-sum " + file + " --from 3 --to 3"), messages::kChooseDifferentTimes);
  expectRefused(tool("export-max " + file + " --from 4 --to 3"), messages::kTimesNotInOrder);
  EXPECT_EQ(tool("export-frame " + file + " --frame 96").exitCode, 1);
  EXPECT_EQ(tool("export-frame " + file + " --frame x").exitCode, 2);
  EXPECT_EQ(tool("export-sum " + file).exitCode, 2);
  EXPECT_EQ(tool("table " + test::shellQuote(dir.path().string())).exitCode, 2);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 1);
}

TEST(ExportCommands, PeriodSetThenPointTable) {
  TempDir dir;
  const std::string file = test::shellQuote(kantoFile(dir.path()).string());
  const fs::path folder = dir / "Ka2005070120050702";
  const auto period = tool("export-period " + file);
  ASSERT_EQ(period.exitCode, 0) << period.err;
  EXPECT_EQ(period.out, folder.string() + "\n");
  EXPECT_EQ(period.err, std::string(messages::kCsvWritten) + "\n");
  EXPECT_EQ(test::readText(folder / "FileList.txt"), "20050701.CSV\r\n20050702.CSV\r\n");

  const auto again = tool("export-period " + file);
  EXPECT_EQ(again.exitCode, 1);
  EXPECT_EQ(again.err, std::string(messages::kExportTargetExists) + folder.string() + "\n");

  const auto table = tool("table " + test::shellQuote(folder.string()) + " --id 4");
  ASSERT_EQ(table.exitCode, 0) << table.err;
  EXPECT_EQ(table.out, (folder / "4.csv").string() + "\n");
  const auto lines = test::crlfLines(test::readText(folder / "4.csv"));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].substr(0, 40), "DATE,ID,M,N,Keido,Ido,00:00,00:30,01:00,");
  EXPECT_EQ(lines[2].substr(0, 40), "2005/07/02,4,1,1,139.0125,35.99167,52,53");

  expectRefused(tool("table " + test::shellQuote(folder.string()) + " --id 6"), messages::kCellIdOutOfRange);
  expectRefused(tool("table " + test::shellQuote(dir.path().string()) + " --id 0"), messages::kFileListMissing);
}

}  // namespace
}  // namespace ombrix
