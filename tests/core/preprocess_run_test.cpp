#include "core/preprocess_run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/analysis_conditions.h"
#include "core/messages.h"
#include "core/rap_encoder.h"
#include "core/rmd_file.h"
#include "support/reliability_inputs.h"

namespace ombrix::core {
namespace {

using test::readBytes;
using test::TempDir;
using test::writeBytes;

// 8 columns x 6 rows from 139E 46N at the hourly spacing (a latitude step that halves to x.5
// for the rounding check) and at the half-hourly spacing.
const GridDescription kGrid{46000000, 139000000, 62500, 41667, 8, 6};
const GridDescription kFineGrid{46000000, 139000000, 31250, 20833, 8, 6};

std::int16_t cellValue(int day, int j, int c, int r) {
  return static_cast<std::int16_t>((day * 7 + j * 3 + c * 5 + r * 11) % 40 - 1);
}

// count records of one day, stamped 2001-01-(day + 1) whatever the period says: the run takes
// stamps as they are.
std::vector<ArchiveRecord> dayRecords(const GridDescription& grid, int day, int count, int minutesApart) {
  return test::dayRecords(grid, 2001, 1, day + 1, count, minutesApart, [&](int j, std::size_t i) {
    const auto nx = static_cast<std::size_t>(grid.nx);
    return cellValue(day, j, static_cast<int>(i % nx), static_cast<int>(i / nx));
  });
}

struct Archive {
  TempDir dir;
  AnalysisConditions conditions;
  std::filesystem::path output = dir / "out.RMD";

  // Files for consecutive days from the period start, holding recordCounts[f] records each.
  Archive(int year, int month, int day, const std::vector<int>& recordCounts, const GridDescription& grid = kGrid) {
    const int apart = framesPerDay(year, month) == 48 ? 30 : 60;
    for (std::size_t f = 0; f < recordCounts.size(); ++f) {
      const auto path = dir / ("day" + std::to_string(f) + ".RAP");
      EXPECT_TRUE(writeArchiveFile(path, grid, dayRecords(grid, static_cast<int>(f), recordCounts[f], apart)));
      conditions.archiveFiles.push_back(path.string());
    }
    conditions.archiveFileCount = static_cast<std::int32_t>(recordCounts.size());
    conditions.periodYear = {year, year};
    conditions.periodMonth = {month, month};
    conditions.periodDay = {day, day + static_cast<int>(recordCounts.size()) - 1};
    conditions.area = {139100000, 45950000, 139250000, 45850000};
  }
};

// Window of the default area: columns 1-4 (139.1 lies inside column 1, 139.25 exactly on
// column 4) and rows 1-4 (45.85 lies between rows 3 and 4).
constexpr int kFirstCol = 1, kFirstRow = 1, kCols = 4, kRows = 4;

void appendFrame(Bytes& file, std::size_t offset, int day, int j) {
  file.resize(offset + 2 * kCols * kRows, 0);
  for (int r = 0; r < kRows; ++r) {
    for (int c = 0; c < kCols; ++c) {
      writeI16LE(file.data() + offset + 2 * (r * kCols + c), cellValue(day, j, kFirstCol + c, kFirstRow + r));
    }
  }
}

TEST(PreprocessRun, OneHourlyDayWritesTheExactFile) {
  Archive archive(2001, 1, 1, {24});
  RmdHeader open;
  open.frameCount = 5;
  archive.conditions.file = RmdDataset("open.RMD", {open, {}});  // the open file must survive the run
  const PreprocessResult result = runPreprocessing(archive.conditions.archiveSelection(), archive.output);
  ASSERT_TRUE(result.status) << message(result.status);

  Bytes expected(28 + 10 * 24, 0);
  encodeRmdHeader({24, 139062500, 45958333, 139250000, 45833332, kRows, kCols, 31250, 20834, -1}, expected.data());
  const std::size_t dataStart = 28 + 10 * 24 * 24;
  for (int j = 0; j < 24; ++j) {
    std::uint8_t* entry = expected.data() + 28 + 10 * j;
    writeI16LE(entry, 2001);
    entry[2] = 1;
    entry[3] = 1;
    entry[4] = static_cast<std::uint8_t>(j);
    entry[5] = 0;
    writeI32LE(entry + 6, static_cast<std::int32_t>(dataStart + 4 * kRows * kCols * j));
  }
  for (int j = 0; j < 24; ++j) appendFrame(expected, dataStart + 4 * kRows * kCols * j, 0, j);
  EXPECT_EQ(readBytes(archive.output), expected);
  AnalysisConditions applied = archive.conditions;
  applied.takePreprocessResult(result);
  EXPECT_EQ(std::tuple(applied.outFrameCount, applied.halfHourly, applied.file.header().frameCount), std::tuple(24, 0, 5));
}

TEST(PreprocessRun, HalfHourlyDaysKeepAtMostOneDayOfRecordsEach) {
  // 30 June to 2 July 2003: a full day, a short day and a day with two records too many.
  Archive archive(2003, 6, 30, {48, 30, 50}, kFineGrid);
  archive.conditions.periodMonth = {6, 7};
  archive.conditions.periodDay = {30, 2};
  archive.conditions.area = {139040000, 45979000, 139125000, 45930000};  // the same window on the finer grid
  std::vector<std::string> calls;
  OperationCallbacks callbacks;
  callbacks.yield = [&] { calls.push_back("yield"); };
  callbacks.progress = [&](int begun, int count) {
    calls.push_back(std::to_string(begun) + "/" + std::to_string(count));
  };
  const PreprocessResult result = runPreprocessing(archive.conditions.archiveSelection(), archive.output, callbacks);
  ASSERT_TRUE(result.status) << message(result.status);
  EXPECT_EQ(std::pair(result.halfHourly, result.outFrameCount), (std::pair<std::uint8_t, std::int16_t>(1, 144)));
  EXPECT_EQ(calls, (std::vector<std::string>{"yield", "1/3", "yield", "2/3", "yield", "3/3"}));

  RmdContents contents;
  ASSERT_TRUE(readRmdFile(archive.output, contents));
  EXPECT_EQ(std::pair(contents.header.cellLonStep, contents.header.cellLatStep), (std::pair<std::int16_t, std::int16_t>(31250, 20833)));
  const std::int32_t dataStart = 28 + 10 * 48 * 144;
  const std::int32_t slot = 4 * kRows * kCols;
  for (int k = 0; k < 144; ++k) {
    const bool written = k < 78 || k >= 96;
    EXPECT_EQ(contents.index[static_cast<std::size_t>(k)].frameOffset, written ? dataStart + k * slot : 0) << k;
    if (!written) { EXPECT_EQ(contents.index[static_cast<std::size_t>(k)].stamp, TimeStamp{}) << k; }
  }
  // The last frame is record 47 of the third day, and the file ends with its last cell.
  const Bytes bytes = readBytes(archive.output);
  EXPECT_EQ(bytes.size(), static_cast<std::size_t>(dataStart + 143 * slot + 2 * kRows * kCols));
  std::vector<std::int16_t> cells;
  ASSERT_TRUE(readRmdFrame(archive.output, contents.header, contents.index[143].frameOffset, cells));
  EXPECT_EQ(cells.back(), cellValue(2, 47, kFirstCol + kCols - 1, kFirstRow + kRows - 1));
}

TEST(PreprocessRun, DifferentGridsAndMalformedRecordsLeaveTheTargetAsItWas) {
  Archive archive(2001, 1, 1, {24, 24});
  GridDescription wider = kGrid;
  wider.nx = 9;
  ASSERT_TRUE(writeArchiveFile(archive.conditions.archiveFiles[1], wider, dayRecords(wider, 1, 24, 60)));
  writeBytes(archive.output, {9, 9, 9});
  int progressCalls = 0;
  OperationCallbacks callbacks;
  callbacks.progress = [&](int, int) { ++progressCalls; };

  const PreprocessResult result = runPreprocessing(archive.conditions.archiveSelection(), archive.output, callbacks);
  EXPECT_EQ(message(result.status), messages::kGridMismatch);
  EXPECT_FALSE(result.layoutDecided);
  EXPECT_EQ(progressCalls, 0);
  EXPECT_EQ(readBytes(archive.output), (Bytes{9, 9, 9}));
  EXPECT_EQ(test::namesIn(archive.dir.path()).size(), 3u);  // two archive files and the untouched target

  // A malformed record stops the run, names its file, and leaves the old target.
  ArchiveContents bad{kGrid, {0, 5, 10}, {}, {}};
  bad.records.push_back({{2001, 1, 2, 1, 0}, Bytes(48, 0x80)});
  bad.records.push_back({{2001, 1, 2, 2, 0}, Bytes{0xC0, 45, 0x83}});  // level 3 is not in the table
  writeBytes(archive.conditions.archiveFiles[1], assembleArchive(bad));
  const PreprocessResult failed = runPreprocessing(archive.conditions.archiveSelection(), archive.output);
  EXPECT_NE(message(failed.status).find(archive.conditions.archiveFiles[1]), std::string::npos);
  EXPECT_EQ(readBytes(archive.output), (Bytes{9, 9, 9}));
  EXPECT_EQ(test::namesIn(archive.dir.path()).size(), 3u);
}

TEST(PreprocessRun, PeriodsAndAreasTooLargeForOneFileAreRefusedWithTheLimit) {
  const auto message = [](const Archive& archive) {
    const PreprocessResult result = runPreprocessing(archive.conditions.archiveSelection(), archive.output);
    EXPECT_FALSE(std::filesystem::exists(archive.output));
    return core::message(result.status);
  };
  // 1,366 hourly days make 32,784 frames: 1,365 fit.
  Archive hourly(2001, 1, 1, {24});
  hourly.conditions.periodYear[1] = 2004;
  hourly.conditions.periodMonth[1] = 9;
  hourly.conditions.periodDay[1] = 27;
  EXPECT_EQ(message(hourly), std::string(messages::kPeriodTooLong) + std::string(messages::kMostDaysPrefix) + "1365" +
                                 std::string(messages::kMostDaysMiddle) + "1366" +
                                 std::string(messages::kMostDaysSuffix));
  hourly.conditions.periodDay[1] = 26;
  EXPECT_TRUE(runPreprocessing(hourly.conditions.archiveSelection(), hourly.output).status);

  // 2,000 x 2,000 cells an hour: the last frame of day 6 would lie beyond 2^31; 5 days fit.
  // Headers without records are enough, since the limit is found before any record is read.
  const GridDescription large{46000000, 139000000, 62500, 41667, 2000, 2000};
  Archive big(2001, 1, 1, {0, 0, 0, 0, 0, 0}, large);
  big.conditions.area = {139000000, 46000000, 300000000, -100000000};
  const std::string detail = message(big);
  EXPECT_EQ(detail.find(messages::kPeriodTooLongForArea), 0u) << detail;
  EXPECT_NE(detail.find(std::string(messages::kMostDaysPrefix) + "5" + std::string(messages::kMostDaysMiddle) + "6"),
            std::string::npos)
      << detail;

  const GridDescription huge{46000000, 139000000, 1, 1, 32767, 32767};
  Archive whole(2001, 1, 1, {0}, huge);
  whole.conditions.area = {139000000, 46000000, 140000000, 45000000};
  EXPECT_EQ(message(whole), messages::kNoDayFitsArea);
}

TEST(PreprocessRun, GridsTheFileCannotDescribeAndMismatchedCataloguesAreRefused) {
  Archive outside(2001, 1, 1, {24}), inverted(2001, 1, 1, {24}), twoDays(2001, 1, 1, {24, 24});
  Archive coarse(2003, 6, 1, {48});  // half-hourly steps are stored undivided: 62,500 does not fit 16 bits
  outside.conditions.area = {150000000, 45000000, 151000000, 44000000};
  inverted.conditions.area = {139250000, 45950000, 139100000, 45850000};
  twoDays.conditions.periodDay[1] = 1;  // a catalogue longer than the period
  for (const auto& [archive, message] : std::vector<std::pair<Archive*, messages::Text>>{
           {&outside, messages::kAreaOutsideGrid}, {&inverted, messages::kAreaInverted},
           {&coarse, messages::kGridSpacingTooLarge}, {&twoDays, messages::kPeriodDoesNotMatchCatalogue}}) {
    EXPECT_EQ(core::message(runPreprocessing(archive->conditions.archiveSelection(), archive->output).status), message);
    EXPECT_FALSE(std::filesystem::exists(archive->output));
  }
}

}  // namespace
}  // namespace ombrix::core
