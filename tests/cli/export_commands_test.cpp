// The export commands of ombrix-tool, run as a user runs them, on real RMD files.
#include <gtest/gtest.h>

#include "core/messages.h"
#include "support/sample_rmd.h"
#include "support/test_support.h"
#include "tests/cli/cli_test_support.h"

namespace ombrix {
namespace {

namespace fs = std::filesystem;
using test::expectRefused;
using test::tool;

// Two half-hourly days of a 2 x 3 grid at 139 E, 36 N; cell c of frame k holds k + c, except
// cell 0 of frame 1, which has no data.
struct KantoFile {
  test::TempDir dir;
  fs::path path = dir / "Ka20057012005702.RMD";
  std::string file = test::shellQuote(path.string());
  KantoFile() {
    test::writeSampleRmd(path, test::sampleGrid(96, 2, 3), 48, test::dayStamps(2005, 7, 1, 2, 48),
                         [](int k, int c) { return static_cast<std::int16_t>(k == 1 && c == 0 ? -1 : k + c); });
  }
  std::string line(const std::string& name, std::size_t k) { return test::crlfLines(test::readText(dir / name)).at(k); }
};

TEST(ExportCommands, FrameSumAndMaximumMaps) {
  KantoFile f;
  const auto frame = tool("export-frame " + f.file + " --frame 1");
  ASSERT_EQ(frame.exitCode, 0) << frame.err;
  EXPECT_EQ(frame.out, (f.dir / "Ka200507010030.CSV").string() + "\n");
  EXPECT_EQ(f.line("Ka200507010030.CSV", 6), "5,1,2,139.025,35.99167,6");
  ASSERT_EQ(tool("export-sum " + f.file + " --from 0 --to 2").exitCode, 0);
  EXPECT_EQ(f.line("Ka200507010000200507010100-SUM.CSV", 1), "0,0,0,139,36,2");  // 0 + (no data) + 2
  ASSERT_EQ(tool("export-max " + f.file + " --from 0 --to 1").exitCode, 0);
  EXPECT_EQ(f.line("Ka200507010000200507010030-MAX.CSV", 1), "0,0,0,139,36,0");
}

TEST(ExportCommands, RangeAndUsageRefusalsWriteNothing) {
  KantoFile f;
  expectRefused(tool("export-sum " + f.file + " --from 3 --to 3"), messages::kChooseDifferentTimes);
  expectRefused(tool("export-max " + f.file + " --from 4 --to 3"), messages::kTimesNotInOrder);
  EXPECT_EQ(tool("export-frame " + f.file + " --frame 96").exitCode, 1);
  for (const std::string& usage : {"export-frame " + f.file + " --frame x", "export-sum " + f.file,
                                  "table " + test::shellQuote(f.dir.path().string())}) {
    EXPECT_EQ(tool(usage).exitCode, 2) << usage;
  }
  EXPECT_EQ(test::namesIn(f.dir.path()).size(), 1u);
}

TEST(ExportCommands, PeriodSetThenPointTable) {
  KantoFile f;
  const fs::path folder = f.dir / "Ka2005070120050702";
  const auto period = tool("export-period " + f.file);
  ASSERT_EQ(period.exitCode, 0) << period.err;
  EXPECT_EQ(period.out, folder.string() + "\n");
  EXPECT_EQ(period.err, std::string(messages::kCsvWritten) + "\n");
  expectRefused(tool("export-period " + f.file), std::string(messages::kExportTargetExists) + folder.string());
  const std::string set = test::shellQuote(folder.string());
  const auto table = tool("table " + set + " --id 4");
  ASSERT_EQ(table.exitCode, 0) << table.err;
  EXPECT_EQ(table.out, (folder / "4.csv").string() + "\n");
  EXPECT_EQ(f.line("Ka2005070120050702/4.csv", 2).substr(0, 40), "2005/07/02,4,1,1,139.0125,35.99167,52,53");
  expectRefused(tool("table " + set + " --id 6"), messages::kCellIdOutOfRange);
  expectRefused(tool("table " + test::shellQuote(f.dir.path().string()) + " --id 0"), messages::kFileListMissing);
}

}  // namespace
}  // namespace ombrix
