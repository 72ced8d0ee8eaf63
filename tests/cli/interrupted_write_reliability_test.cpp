// Interrupted and failing writes: the batch tool killed with SIGKILL at a known output step
// (through the writers' test hook), or a write failing midway under a file size limit, leaves
// no target, or the old one byte for byte, and no temporary file.
#include <gtest/gtest.h>

#include "core/archive_calendar.h"
#include "core/messages.h"
#include "export/period_export.h"
#include "import/grib2_import.h"
#include "import/grib2_message_builder.h"
#include "support/fault_injection.h"
#include "tests/cli/cli_test_support.h"

namespace ombrix {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

// The names in folder that a file list with the given suffix would show.
std::vector<std::string> listed(const fs::path& folder, const std::string& suffix) {
  std::vector<std::string> names;
  for (const std::string& name : test::namesIn(folder)) {
    if (name.ends_with(suffix)) names.push_back(name);
  }
  return names;
}

bool holdsTemporary(const fs::path& folder) { return !listed(folder, ".part").empty(); }

// Killed at the first frame, and with frames written into a file that would replace an old one.
TEST(KilledPreprocessing, LeavesNoTargetOrTheOldOneAndNoTemporary) {
  TempDir archive;
  test::writeArchiveDays(archive.path(), test::reliabilityGrid(384, 256), 3);
  const fs::path target = archive / "AJ20057012005703.RMD";
  for (const bool existing : {false, true}) {
    if (existing) test::writeText(target, "the file of an earlier run");
    std::vector<std::string> words{"preprocess", "--archive", archive.path().string(), "--region", "AJ",
                                   "--from",     "2005-07-01", "--to",  "2005-07-03"};
    if (existing) words.push_back("--force");
    const test::ChildOutcome outcome = test::runToolKilledAt(words, existing ? 50 : 1);
    ASSERT_EQ(outcome.signal, SIGKILL) << "the run ended before it could be interrupted";
    if (existing) {
      EXPECT_EQ(test::readText(target), "the file of an earlier run");
      EXPECT_EQ(listed(archive.path(), ".RMD"), std::vector<std::string>{target.filename().string()});
    } else {
      EXPECT_TRUE(listed(archive.path(), ".RMD").empty());
    }
    EXPECT_FALSE(holdsTemporary(archive.path()));
  }
}

// GRIB2 files of the hours 0 .. count - 1 of one day (2020-07-07 in the archive) in folder.
std::vector<fs::path> writeGrib2Hours(const fs::path& folder, int count) {
  std::vector<fs::path> files;
  for (int hour = 0; hour < count; ++hour) {
    test::Grib2MessageSpec spec;
    spec.hour = hour;
    spec.stream = test::encodeLevelRuns(std::vector<std::uint8_t>(12, static_cast<std::uint8_t>(hour + 1)), 3);
    files.push_back(folder / ("Z__C_RJTD_" + std::to_string(hour) + std::string(import::kGrib2RainfallSuffix)));
    test::writeBytes(files.back(), test::buildGrib2Message(spec));
  }
  return files;
}

// Killed with the merged day file handed to its output file, and once it is complete but not
// yet renamed over the day file of the first import.
TEST(KilledImport, LeavesTheDayFileOfTheFirstImportUnchanged) {
  TempDir dir;
  const std::vector<fs::path> files = writeGrib2Hours(dir.path(), 2);
  const fs::path archive = dir / "archive";
  ASSERT_EQ(import::importGrib2Files(std::span(files).first(1), archive).daysWritten.size(), 1u);
  const fs::path dayFile = core::archiveFilePath(archive.string(), 2020, 7, 7);
  const std::vector<std::uint8_t> before = test::readBytes(dayFile);
  for (const int step : {1, 2}) {
    const test::ChildOutcome outcome =
        test::runToolKilledAt({"import-grib2", "--archive", archive.string(), files[1].string()}, step);
    ASSERT_EQ(outcome.signal, SIGKILL) << step;
    EXPECT_EQ(test::readBytes(dayFile), before) << step;
    EXPECT_EQ(test::namesIn(dayFile.parent_path()), std::vector<std::string>{dayFile.filename().string()}) << step;
  }
}

// Killed while the second day's file is written, and with every file complete just before the
// set is named: nothing is left beside the RMD file. Where too few files may be open to hold the
// days unnamed, the set is built in a hidden folder that a killed run leaves and the next export
// removes.
TEST(KilledPeriodExport, LeavesNothingOrAHiddenFolderThatTheNextExportRemoves) {
  TempDir dir;
  const fs::path rmd = dir / "Ka20057012005706.RMD";
  test::writeSampleRmd(rmd, test::sampleGrid(144, 100, 120), 24, test::dayStamps(2005, 7, 1, 6, 24),
                       [](int k, int c) { return static_cast<std::int16_t>((k + c) % 300); });
  const std::vector<std::string> words{"export-period", rmd.string()};
  for (const int step : {3, 8}) {
    ASSERT_EQ(test::runToolKilledAt(words, step).signal, SIGKILL) << "the export ended before step " << step;
    EXPECT_EQ(test::namesIn(dir.path()), std::vector<std::string>{rmd.filename().string()}) << step;
  }
  ASSERT_EQ(test::runToolKilledAt(words, 3, test::openFileLimit(32)).signal, SIGKILL);
  EXPECT_EQ(test::namesIn(dir.path()).front().front(), '.');
  EXPECT_EQ(test::tool("export-period " + test::shellQuote(rmd.string())).exitCode, 0);
  EXPECT_EQ(test::namesIn(dir.path()), (std::vector<std::string>{"Ka2005070120050706", rmd.filename().string()}));
}

TEST(KilledPointTable, LeavesTheEarlierTableUnchanged) {
  TempDir set;
  test::writeCsvSet(set.path(), 31, 40000);
  test::writeText(set / "0.csv", "the table of an earlier run");
  const test::ChildOutcome outcome = test::runToolKilledAt({"table", set.path().string(), "--id", "0"}, 1);
  ASSERT_EQ(outcome.signal, SIGKILL) << "the table was finished before it could be interrupted";
  EXPECT_EQ(test::readText(set / "0.csv"), "the table of an earlier run");
  EXPECT_EQ(listed(set.path(), ".csv"), std::vector<std::string>{"0.csv"});
  EXPECT_FALSE(holdsTemporary(set.path()));
}

// Ctrl-C (SIGINT, raised by the tool's test hook when the operation asks whether to stop for
// the third time) during preprocessing, the sum and maximum exports, the GRIB2 import and the
// sample maker (the light tool), a NetCDF export and areal rainfall (the full tool): exit status
// 130, "中断しました。", and the folder as it was, old targets included.
TEST(InterruptedCommand, StopsWithNothingWrittenAndTheOldTargetIntact) {
  TempDir dir;
  test::writeArchiveDays(dir.path(), test::reliabilityGrid(96, 64), 4);
  const fs::path rmd = dir / "Ka20057012005702.RMD";
  test::writeSampleRmd(rmd, test::sampleGrid(96, 2, 3), 48, test::dayStamps(2005, 7, 1, 2, 48),
                       [](int k, int c) { return static_cast<std::int16_t>(k + c); });
  test::writeText(dir / "basin.geojson", R"({"type":"FeatureCollection","features":[{"type":"Feature",)"
                                         R"("properties":{"name":"b"},"geometry":{"type":"Polygon","coordinates":)"
                                         R"([[[138.9,35.9],[139.1,35.9],[139.1,36.1],[138.9,36.1],[138.9,35.9]]]}}]})");
  fs::create_directories(dir / "grib2");
  writeGrib2Hours(dir / "grib2", 4);
  const fs::path imported = core::archiveFilePath((dir / "imported").string(), 2020, 7, 7);
  const fs::path sample = core::archiveFilePath((dir / "sample").string(), 2005, 7, 1);
  for (const fs::path& day : {imported, sample}) fs::create_directories(day.parent_path());
  const std::string archive = test::shellQuote(dir.path().string()), file = test::shellQuote(rmd.string());
  const auto quoted = [&](const char* name) { return test::shellQuote((dir / name).string()); };
  // The command line, its target and what lets it replace an old target.
  const std::tuple<std::string, fs::path, std::string> commands[] = {
      {"preprocess --archive " + archive + " --region AJ --from 2005-07-01 --to 2005-07-04",
       dir / "AJ20057012005704.RMD", " --force"},
      {"export-netcdf " + file, dir / "Ka20057012005702.nc", " --force"},
      {"areal " + file + " --durations 1 --polygons " + quoted("basin.geojson"),
       dir / "Ka20057012005702-areal-durations.csv", ""},
      {"export-sum " + file + " --from 0 --to 95", dir / "Ka200507010000200507022330-SUM.CSV", ""},
      {"export-max " + file + " --from 0 --to 95", dir / "Ka200507010000200507022330-MAX.CSV", ""},
      {"import-grib2 --archive " + quoted("imported") + " " + quoted("grib2"), imported, " --replace"},
      {"make-sample --archive " + quoted("sample") + " --data " + test::shellQuote(OMBRIX_DATA_DIR), sample, ""},
  };
  const std::string tool = "OMBRIX_TEST_INTERRUPT_AFTER=3 " + test::shellQuote(std::string(OMBRIX_BIN_DIR) + "/ombrix-tool");
  for (const auto& [line, target, replace] : commands) {
    for (const bool existing : {false, true}) {
      if (existing) test::writeText(target, "the file of an earlier run");
      const std::vector<std::string> before = test::namesIn(dir.path());
      const test::CommandResult run = test::runCommand(tool + " " + line + (existing ? replace : ""));
      EXPECT_EQ(std::pair(run.exitCode, run.err), std::pair(130, std::string(messages::kCancelled) + "\n")) << line;
      EXPECT_EQ(test::namesIn(dir.path()), before) << line;
      EXPECT_TRUE(!existing || test::readText(target) == "the file of an earlier run") << line;
    }
    fs::remove(target);
  }
}

// The writer itself is tested in core/rmd_file_test.cpp; here the message names the set's
// folder and nothing of the set is left.
TEST(FailingWrite, PeriodExportUnderAFileSizeLimitLeavesNothing) {
  TempDir dir;
  const auto rmd = dir / "Ka20057012005702.RMD";
  test::writeSampleRmd(rmd, test::sampleGrid(48, 30, 40), 24, test::dayStamps(2005, 7, 1, 2, 24),
                       [](int k, int c) { return static_cast<std::int16_t>((k * 3 + c) % 200); });
  const core::AnalysisConditions conditions = test::openedConditions(rmd);
  const std::string failure = std::string(messages::kCannotWriteFile) + (dir / "Ka2005070120050702").string();
  const test::ChildOutcome limited = test::runInChild(
      [&] {
        const exports::PeriodExportResult result = exports::exportPeriod(conditions.openFileDataset(), conditions.areaName, 100);
        return message(result.status).rfind(failure, 0) == 0 ? 0 : 1;
      },
      test::fileSizeLimit(4096));
  EXPECT_EQ(limited.exitCode, 0) << "not refused with " << failure;
  EXPECT_EQ(test::namesIn(dir.path()), std::vector<std::string>{"Ka20057012005702.RMD"});
}

}  // namespace
}  // namespace ombrix
