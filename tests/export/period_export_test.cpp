#include "export/period_export.h"

#include <gtest/gtest.h>

#include <fstream>

#include "core/messages.h"
#include "support/sample_rmd.h"
#include "support/test_support.h"

namespace ombrix::exports {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

std::vector<std::string> fieldsOf(const std::string& line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (std::size_t end; (end = line.find(',', start)) != std::string::npos; start = end + 1) {
    fields.push_back(line.substr(start, end - start));
  }
  fields.push_back(line.substr(start));
  return fields;
}

// An RMD file in dir with the given days; cell c of frame k holds 100 k + c.
fs::path sampleFile(const fs::path& dir, int year, int month, int day, int frames, int perDay, int rows, int cols,
                    const std::vector<int>& empty = {}) {
  const fs::path path = dir / "Ka.RMD";
  test::writeSampleRmd(path, test::sampleGrid(frames, rows, cols), perDay,
                       test::dayStamps(year, month, day, (frames + perDay - 1) / perDay, perDay),
                       [](int k, int c) { return static_cast<std::int16_t>(100 * k + c); }, empty);
  return path;
}

struct Recorded {
  std::vector<std::string> calls;
  PeriodExportCallbacks callbacks() {
    return {[this] { calls.push_back("yield"); }, [this](int w) { calls.push_back(std::to_string(w)); }};
  }
};

TEST(PeriodExport, TwoHalfHourlyDaysOfATwoCellGridWithFramesWithoutData) {
  TempDir dir;
  const auto c = test::openedConditions(sampleFile(dir.path(), 2005, 7, 1, 96, 48, 1, 2, {0, 49}));
  Recorded recorded;
  const PeriodExportResult result = exportPeriod(c, "関東", 4095, recorded.callbacks());
  ASSERT_EQ(result.outcome, PeriodExportOutcome::Written) << result.message;
  EXPECT_EQ(result.message, messages::kCsvWritten);
  EXPECT_EQ(result.folder, dir / "Ka2005070120050702");
  // step = 4095 x 48 / 96 = 2047.5, to the even 2048
  EXPECT_EQ(recorded.calls, (std::vector<std::string>{"yield", "0", "yield", "2048", "yield", "4095"}));
  EXPECT_EQ(test::namesIn(result.folder), (std::vector<std::string>{"20050701.CSV", "20050702.CSV", "FileList.txt"}));
  EXPECT_EQ(test::readText(result.folder / "FileList.txt"), "20050701.CSV\r\n20050702.CSV\r\n");

  const auto lines = test::crlfLines(test::readText(result.folder / "20050702.CSV"));
  ASSERT_EQ(lines.size(), 3u);
  const auto header = fieldsOf(lines[0]);
  ASSERT_EQ(header.size(), 5u + 48u);
  EXPECT_EQ(lines[0].substr(0, 34), "ID,M,N,Keido,Ido,00:00,00:30,01:00");
  EXPECT_EQ(header.back(), "23:30");
  const auto cell1 = fieldsOf(lines[2]);
  EXPECT_EQ(lines[2].substr(0, 31), "1,0,1,139.0125,36,4801,-1,5001,");
  EXPECT_EQ(test::crlfLines(test::readText(result.folder / "20050701.CSV"))[1].substr(0, 23), "0,0,0,139,36,-1,100,200");
  EXPECT_EQ(cell1.back(), "9501");

  core::AnalysisConditions applied = c;
  applyPeriodExport(result, applied);
  EXPECT_EQ(std::pair(applied.frameLabel, applied.halfHourly), (std::pair<std::string, std::uint8_t>("2005070120050702", 1)));
}

TEST(PeriodExport, FramesPerDayFollowFrameZerosDateAndOnlyWholeDaysAreWritten) {
  TempDir june, may, hourly, partial;
  const auto run = [](const TempDir& d, int year, int month, int day, int frames, int perDay) {
    const auto result =
        exportPeriod(test::openedConditions(sampleFile(d.path(), year, month, day, frames, perDay, 1, 1)), "", 100);
    EXPECT_EQ(result.outcome, PeriodExportOutcome::Written) << result.message;
    EXPECT_EQ(result.message, messages::kCsvWritten);
    return result;
  };
  const auto line = [](const PeriodExportResult& r, const char* name, std::size_t k) {
    return fieldsOf(test::crlfLines(test::readText(r.folder / name))[k]);
  };
  const auto fromJune = run(june, 2003, 6, 1, 48, 48);
  const auto fromMay = run(may, 2003, 5, 31, 48, 24);
  const auto thirty = run(hourly, 2002, 1, 9, 30, 24);  // one whole day, frames 24 to 29 are left out
  const auto short_ = run(partial, 2004, 1, 1, 20, 48);  // less than a day: an empty list
  EXPECT_EQ(line(fromJune, "20030601.CSV", 0).size(), 53u);
  EXPECT_EQ(line(fromMay, "20030531.CSV", 0).size(), 29u);
  EXPECT_EQ(fromMay.halfHourly, 0);
  EXPECT_EQ(test::readText(fromMay.folder / "FileList.txt"), "20030531.CSV\r\n20030532.CSV\r\n");
  EXPECT_EQ(thirty.folder.filename(), "My2002010920020110");
  EXPECT_EQ(test::readText(thirty.folder / "FileList.txt"), "20020109.CSV\r\n");
  const auto cell0 = line(thirty, "20020109.CSV", 1);
  ASSERT_EQ(cell0.size(), 29u);
  EXPECT_EQ(cell0.back(), "2300");
  EXPECT_EQ(test::namesIn(short_.folder), (std::vector<std::string>{"FileList.txt"}));
  EXPECT_EQ(test::readText(short_.folder / "FileList.txt"), "");
}

TEST(PeriodExport, AnExistingNameOrARepeatedDateIsRefusedAndLeftAlone) {
  TempDir dir;
  const auto c = test::openedConditions(sampleFile(dir.path(), 2005, 7, 1, 48, 48, 1, 2));
  ASSERT_EQ(exportPeriod(c, "関東", 100).outcome, PeriodExportOutcome::Written);
  test::writeText(dir / "Ka2005070120050701" / "note.txt", "mine");
  Recorded recorded;
  const auto again = exportPeriod(c, "関東", 100, recorded.callbacks());
  EXPECT_EQ(again.outcome, PeriodExportOutcome::Refused);
  EXPECT_EQ(again.message, std::string(messages::kExportTargetExists) + (dir / "Ka2005070120050701").string());
  EXPECT_TRUE(recorded.calls.empty());
  EXPECT_EQ(test::namesIn(dir / "Ka2005070120050701"),
            (std::vector<std::string>{"20050701.CSV", "FileList.txt", "note.txt"}));
  // A plain file of that name counts as taken too.
  test::writeText(dir / "Ch2005070120050701", "");
  EXPECT_EQ(exportPeriod(c, "中国・四国", 100).outcome, PeriodExportOutcome::Refused);
  EXPECT_EQ(test::namesIn(dir.path()), (std::vector<std::string>{"Ch2005070120050701", "Ka.RMD", "Ka2005070120050701"}));

  // Two days of the same date are refused before anything is written.
  TempDir sameDates;
  const fs::path path = sameDates / "Ky.RMD";
  auto stamps = test::dayStamps(2001, 7, 1, 1, 24);  // hourly: two blocks of 24, both 2001-07-01
  const auto firstDay = stamps;
  stamps.insert(stamps.end(), firstDay.begin(), firstDay.end());
  test::writeSampleRmd(path, test::sampleGrid(48, 1, 2), 24, stamps, [](int k, int) { return static_cast<std::int16_t>(k); });
  const auto repeated = exportPeriod(test::openedConditions(path), "九州", 100);
  EXPECT_EQ(repeated.outcome, PeriodExportOutcome::Refused);
  EXPECT_EQ(repeated.message, std::string(messages::kRepeatedDayDate) + "20010701.CSV");
  EXPECT_EQ(test::namesIn(sameDates.path()), (std::vector<std::string>{"Ky.RMD"}));
}

TEST(PeriodExport, FailuresAndNoOpenFileLeaveNothingBehind) {
  TempDir dir;
  auto c = test::openedConditions(sampleFile(dir.path(), 2005, 7, 1, 96, 48, 1, 2));
  // A folder that cannot be created (works also for root): the RMD folder is a plain file.
  auto unwritable = c;
  test::writeText(dir / "plain-file", "x");
  unwritable.openRmdDir = (dir / "plain-file").string();
  const auto refused = exportPeriod(unwritable, "関東", 100);
  EXPECT_EQ(refused.outcome, PeriodExportOutcome::Refused);
  EXPECT_EQ(refused.message,
            std::string(messages::kCannotCreateFolder) + (dir / "plain-file" / "Ka2005070120050702").string());

  // The second day's frames lie beyond the end of a truncated file.
  fs::resize_file(dir / "Ka.RMD", static_cast<std::uintmax_t>(c.index[60].frameOffset));
  Recorded recorded;
  const auto truncated = exportPeriod(c, "関東", 100, recorded.callbacks());
  EXPECT_EQ(truncated.outcome, PeriodExportOutcome::Refused);
  EXPECT_EQ(truncated.message, std::string(messages::kRmdFileTruncated) + (dir / "Ka.RMD").string());
  EXPECT_EQ(recorded.calls, (std::vector<std::string>{"yield", "0", "yield", "50"}));

  c.openRmdPath.clear();
  const auto noFile = exportPeriod(c, "関東", 100);
  EXPECT_EQ(noFile.outcome, PeriodExportOutcome::NoFileOpen);
  EXPECT_TRUE(noFile.message.empty());
  applyPeriodExport(noFile, c);
  EXPECT_TRUE(c.frameLabel.empty());
  EXPECT_EQ(test::namesIn(dir.path()), (std::vector<std::string>{"Ka.RMD", "plain-file"}));
}

}  // namespace
}  // namespace ombrix::exports
