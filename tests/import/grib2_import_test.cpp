#include "import/grib2_import.h"

#include <gtest/gtest.h>
#include <malloc.h>

#include <algorithm>

#include "core/archive_calendar.h"
#include "import/grib2_message_builder.h"
#include "core/messages.h"
#include "core/rap_archive.h"
#include "core/rap_encoder.h"
#include "support/grib2_restamp.h"
#include "support/test_support.h"

namespace ombrix::import {
namespace {

namespace fs = std::filesystem;
using test::Grib2MessageSpec;
using test::TempDir;

// A 4 x 3 message ending at the given UTC time; every cell holds level, cell 0 no data. Level 3
// stands for the value top.
fs::path writeMessage(const fs::path& folder, int day, int hour, int minute, std::uint8_t level = 2,
                      std::uint16_t top = 10) {
  std::vector<std::uint8_t> levels(12, level);
  levels[0] = 0;
  const Grib2MessageSpec spec{.day = day, .hour = hour, .minute = minute, .representative = {0, 4, top},
                              .stream = test::encodeLevelRuns(levels, 3)};
  char name[64];
  std::snprintf(name, sizeof name, "Z__C_RJTD_202007%02d%02d%02d00", day, hour, minute);
  const fs::path path = folder / (name + std::string(kGrib2RainfallSuffix));
  test::writeBytes(path, test::buildGrib2Message(spec));
  return path;
}

std::vector<std::int16_t> record(const core::ArchiveFile& file, std::size_t j) {
  std::vector<std::int16_t> cells(file.grid().cellCount());
  EXPECT_TRUE(file.decodeRecord(j, cells));
  return cells;
}

const std::vector<std::int16_t> kNoData(12, -1);
const std::vector<std::int16_t> kRain{-1, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4};
const std::vector<std::int16_t> kHeavier{-1, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10};  // level 3

// 14:30, 15:00 and 16:00 UTC on 6 July are 23:30 on the 6th and 00:00 and 01:00 on the 7th in
// Japan; 00:30 on the 7th has no file. A copy of the 15:00 file, a corrupt file for 10:00 and a
// file on another grid for 11:00 are skipped and named.
TEST(Grib2Import, GroupsByJapanStandardTimeAcrossMidnightAndSkipsBadFilesByName) {
  TempDir dir;
  const std::vector<fs::path> good{writeMessage(dir.path(), 6, 14, 30), writeMessage(dir.path(), 6, 15, 0),
                                   writeMessage(dir.path(), 6, 16, 0, 3)};
  const fs::path duplicate = dir / ("Z__C_RJTD_copy" + std::string(kGrib2RainfallSuffix));
  fs::copy_file(good[1], duplicate);
  const fs::path corrupt = writeMessage(dir.path(), 7, 1, 0);
  std::vector<std::uint8_t> bytes = test::readBytes(corrupt);
  bytes.resize(bytes.size() / 2);
  test::writeBytes(corrupt, bytes);
  const Grib2MessageSpec spec{.ni = 5, .hour = 2, .stream = test::encodeLevelRuns(std::vector<std::uint8_t>(15, 1), 3)};
  const fs::path otherGrid = dir / ("Z__C_RJTD_other" + std::string(kGrib2RainfallSuffix));
  test::writeBytes(otherGrid, test::buildGrib2Message(spec));

  const std::vector<fs::path> files{good[0], good[1], good[2], duplicate, corrupt, otherGrid};
  const Grib2ImportResult result = importGrib2Files(files, dir / "archive");
  const std::string archive = (dir / "archive").string();
  ASSERT_EQ(result.daysWritten,
            (std::vector<fs::path>{core::archiveFilePath(archive, 2020, 7, 6),
                                   core::archiveFilePath(archive, 2020, 7, 7)}));
  EXPECT_EQ(result.daysFailed, 0);
  ASSERT_EQ(result.problems.size(), 3u);
  for (const fs::path& path : {duplicate, corrupt, otherGrid}) {
    EXPECT_TRUE(std::ranges::any_of(result.problems,
                                    [&](const core::Status& p) { return message(p).find(path.string()) != std::string::npos; }))
        << path;
  }

  core::ArchiveFile first;
  ASSERT_TRUE(first.load(result.daysWritten[0].string()));
  EXPECT_EQ(first.grid(), (core::GridDescription{36'000'000, 139'000'000, 12'500, 8'333, 4, 3}));
  ASSERT_EQ(first.records().size(), 48u);
  EXPECT_EQ(first.records()[47].stamp, (core::TimeStamp{2020, 7, 6, 23, 30}));
  EXPECT_EQ(record(first, 47), kRain);
  EXPECT_EQ(record(first, 46), kNoData);

  core::ArchiveFile second;
  ASSERT_TRUE(second.load(result.daysWritten[1].string()));
  ASSERT_EQ(second.records().size(), 48u);
  EXPECT_EQ(second.records()[1].stamp, (core::TimeStamp{2020, 7, 7, 0, 30}));  // the missing half hour
  EXPECT_EQ(record(second, 0), kRain);
  EXPECT_EQ(record(second, 1), kNoData);
  EXPECT_EQ(record(second, 2), kHeavier);
  EXPECT_EQ(record(second, 20), kNoData);  // the corrupt file's half hour
}

TEST(Grib2Import, ReplacesAnExistingDayOnlyWithACompleteOne) {
  TempDir dir;
  const fs::path archive = dir / "archive";
  const fs::path dayFile = core::archiveFilePath(archive.string(), 2020, 7, 7);
  fs::create_directories(fs::path(dayFile).parent_path());
  test::writeText(dayFile, "the old day");

  // Two messages of the day whose level values together exceed one level table: refused,
  // the old file stays as it was.
  std::vector<fs::path> files;
  for (int half = 0; half < 2; ++half) {
    Grib2MessageSpec spec{.minute = 30 * half, .maxLevelUsed = 2, .representative = {},
                          .stream = test::encodeLevelRuns(std::vector<std::uint8_t>(12, 1), 2)};
    for (int m = 0; m < 200; ++m) spec.representative.push_back(static_cast<std::uint16_t>(2 * m + half));
    files.push_back(dir / ("Z__C_RJTD_" + std::to_string(half) + std::string(kGrib2RainfallSuffix)));
    test::writeBytes(files.back(), test::buildGrib2Message(spec));
  }
  Grib2ImportResult result = importGrib2Files(files, archive);
  EXPECT_TRUE(result.daysWritten.empty());
  EXPECT_EQ(result.daysFailed, 1);
  EXPECT_EQ(test::readText(dayFile), "the old day");

  // A valid message: the old file cannot be added to, so it is kept unless replaced.
  const std::vector<fs::path> good{writeMessage(dir.path(), 7, 0, 0)};
  result = importGrib2Files(good, archive);
  EXPECT_TRUE(result.daysWritten.empty());
  EXPECT_EQ(result.daysFailed, 1);
  EXPECT_EQ(message(result.problems.back()), std::string(messages::kGrib2DayFileKept) + dayFile.string());
  EXPECT_EQ(test::readText(dayFile), "the old day");
  result = importGrib2Files(good, archive, {.replace = true});
  ASSERT_EQ(result.daysWritten.size(), 1u);
  core::ArchiveFile day;
  ASSERT_TRUE(day.load(dayFile.string()));
  EXPECT_EQ(record(day, 18), kRain);
  EXPECT_EQ(test::namesIn(dayFile.parent_path()), std::vector<std::string>{dayFile.filename().string()});

  // Its 10:00 record damaged: a 12:00 file replaces the day whole, 09:00 included.
  core::ArchiveContents damaged{day.grid(), {day.levels().begin(), day.levels().end()},
                                {day.runs().begin(), day.runs().end()}, {}};
  for (std::size_t j = 0; j < 48; ++j) {
    const auto stream = j == 20 ? std::span<const std::uint8_t>() : day.recordStream(j);
    damaged.records.push_back({day.records()[j].stamp, core::Bytes(stream.begin(), stream.end())});
  }
  test::writeBytes(dayFile, core::assembleArchive(damaged));
  const std::vector<fs::path> noon{writeMessage(dir.path(), 7, 3, 0, 3)};
  EXPECT_FALSE(importSucceeded(importGrib2Files(noon, archive)));
  EXPECT_TRUE(importSucceeded(importGrib2Files(noon, archive, {.replace = true})));
  ASSERT_TRUE(day.load(dayFile.string()));
  EXPECT_EQ((std::vector{record(day, 18), record(day, 24)}), (std::vector{kNoData, kHeavier}));
}

// A day file the import adds to: its own half hours stay unless replaced.
TEST(Grib2Import, ADayImportedInPartsEndsAsOneImportedAtOnceAndKeepsAHalfHourHeldWithOtherValues) {
  TempDir dir;
  // 00:00 ... 01:30 UTC, each with its own level table.
  std::vector<fs::path> files;
  for (int j = 0; j < 4; ++j) files.push_back(writeMessage(dir.path(), 7, j / 2, j % 2 * 30, 3, 20 + 10 * j));
  const Grib2ImportOptions utc{.utc = true};
  const Grib2ImportResult once = importGrib2Files(files, dir / "once", utc);
  ASSERT_EQ(once.daysWritten.size(), 1u);
  const std::vector<std::uint8_t> whole = test::readBytes(once.daysWritten[0]);

  // The later half first, so that the day's first half hour comes from the second part.
  const fs::path dayFile = core::archiveFilePath((dir / "parts").string(), 2020, 7, 7);
  EXPECT_EQ(importGrib2Files(std::vector<fs::path>{files[1], files[3]}, dir / "parts", utc).counts.imported, 2);
  const Grib2ImportResult second = importGrib2Files(std::vector<fs::path>{files[0], files[2]}, dir / "parts", utc);
  EXPECT_EQ(second.counts.imported, 2);
  EXPECT_EQ(test::readBytes(dayFile), whole);
  EXPECT_EQ(importSummary(second).back(),
            std::string(messages::kImportSummaryMissing) + dayFile.string() + " 02:00-23:30");

  // The same file again: counted, nothing rewritten.
  const Grib2ImportResult again = importGrib2Files(std::vector<fs::path>{files[2]}, dir / "parts", utc);
  EXPECT_TRUE(again.daysWritten.empty());
  EXPECT_EQ(again.daysUnchanged, 1);
  EXPECT_EQ(again.counts.identical, 1);
  EXPECT_TRUE(again.problems.empty());
  EXPECT_TRUE(importSucceeded(again));
  EXPECT_EQ(test::readBytes(dayFile), whole);

  // Cells that do not decode, for a half hour of the day: nothing imported.
  const fs::path undecodable = dir / ("Z__C_RJTD_broken" + std::string(kGrib2RainfallSuffix));
  test::writeBytes(undecodable, test::buildGrib2Message({.hour = 2, .stream = test::encodeLevelRuns({2, 2}, 3)}));
  EXPECT_FALSE(importSucceeded(importGrib2Files(std::vector<fs::path>{undecodable}, dir / "parts", utc)));

  // 00:00 with other values: named and left out, then replacing the half hour when asked to.
  fs::create_directories(dir / "other");
  const std::vector<fs::path> other{writeMessage(dir / "other", 7, 0, 0)};
  Grib2ImportResult result = importGrib2Files(other, dir / "parts", utc);
  EXPECT_EQ(result.counts.conflicting, 1);
  EXPECT_FALSE(importSucceeded(result));
  ASSERT_EQ(result.problems.size(), 1u);
  EXPECT_EQ(message(result.problems[0]), std::string(messages::kGrib2SlotDiffers) + other[0].string());
  EXPECT_EQ(test::readBytes(dayFile), whole);
  result = importGrib2Files(other, dir / "parts", {.utc = true, .replace = true});
  EXPECT_EQ(result.counts.imported, 1);
  core::ArchiveFile day;
  ASSERT_TRUE(day.load(dayFile.string()));
  EXPECT_EQ(record(day, 0), kRain);
}

// Placing the files keeps none of their bytes: the heap in use when the first file is decoded
// is the same with 16 real fields placed as with 2 (it held a whole file for each).
TEST(Grib2Import, TheMemoryDoesNotGrowWithTheFilesPlaced) {
  TempDir dir;
  const std::vector<fs::path> files = test::writeHalfHours(dir.path(), 16);
  const auto heapAtTheFirstFile = [&](std::span<const fs::path> placed) {
    std::size_t heap = 0;
    core::OperationCallbacks callbacks;
    callbacks.cancelled = [&heap] { heap = mallinfo2().uordblks + mallinfo2().hblkhd; return true; };
    EXPECT_TRUE(importGrib2Files(placed, dir / "archive", {}, callbacks).cancelled);
    return heap;
  };
  EXPECT_LT(heapAtTheFirstFile(files), heapAtTheFirstFile(std::span(files).first(2)) + 1'000'000);
}

TEST(Grib2ImportTimes, HalfHourSlots) {
  HalfHourSlot slot;
  using std::chrono::year;
  ASSERT_TRUE(halfHourSlotOf({2020, 12, 31, 15, 0, 0}, {}, slot));
  EXPECT_EQ(slot, (HalfHourSlot{year{2021} / 1 / 1, 0}));
  ASSERT_TRUE(halfHourSlotOf({2020, 2, 29, 14, 30, 0}, {}, slot));
  EXPECT_EQ(slot, (HalfHourSlot{year{2020} / 2 / 29, 47}));
  ASSERT_TRUE(halfHourSlotOf({2020, 2, 29, 14, 30, 0}, {true}, slot));
  EXPECT_EQ(slot, (HalfHourSlot{year{2020} / 2 / 29, 29}));
  EXPECT_FALSE(halfHourSlotOf({2020, 7, 7, 0, 10, 0}, {}, slot));
  EXPECT_FALSE(halfHourSlotOf({2020, 7, 7, 0, 0, 5}, {}, slot));
  EXPECT_FALSE(halfHourSlotOf({2021, 2, 29, 0, 0, 0}, {}, slot));
}

TEST(Grib2ImportFiles, FoldersAreSearchedForTheAgencysNames) {
  TempDir dir;
  fs::create_directories(dir / "a" / "b");
  const fs::path deep = writeMessage(dir / "a" / "b", 7, 0, 0);
  const fs::path shallow = writeMessage(dir / "a", 7, 0, 30);
  test::writeText(dir / "a" / "notes.txt", "not rainfall");
  const fs::path named = dir / "renamed.bin";
  fs::copy_file(shallow, named);
  std::vector<core::Status> problems;
  const std::vector<fs::path> inputs{dir / "a", named, dir / "a" / "b", dir / "absent"};
  EXPECT_EQ(collectGrib2Files(inputs, problems), (std::vector<fs::path>{shallow, deep, named}));
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_NE(message(problems[0]).find("absent"), std::string::npos);
}

}  // namespace
}  // namespace ombrix::import
