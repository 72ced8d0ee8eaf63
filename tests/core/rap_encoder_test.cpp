#include "core/rap_encoder.h"

#include <gtest/gtest.h>

#include <random>

#include "core/messages.h"
#include "support/test_support.h"

namespace ombrix::core {
namespace {

using Cells = std::vector<std::int16_t>;
using Codes = std::vector<std::uint8_t>;

Codes decodeCodes(const Bytes& stream, const std::vector<RunEntry>& runs, std::size_t count) {
  Cells identity(256);
  for (int k = 0; k < 256; ++k) identity[static_cast<std::size_t>(k)] = static_cast<std::int16_t>(k);
  Cells cells(count);
  EXPECT_EQ(decodeRecordStream(stream, identity, runs, cells), DecodeResult::Ok);
  return Codes(cells.begin(), cells.end());
}

Codes repeated(std::uint8_t code, std::size_t count) { return Codes(count, code); }

Codes joined(std::initializer_list<Codes> parts) {
  Codes all;
  for (const Codes& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

TEST(RecordEncoding, UsesEachCodeFormWhereItApplies) {
  const std::vector<RunEntry> runs{{70, 3}, {62, 0}};
  EXPECT_EQ(encodeRecordStream(Codes{5}, runs), (Bytes{0x85}));
  EXPECT_EQ(encodeRecordStream(Codes{200}, runs), (Bytes{0xFE, 200}));
  EXPECT_EQ(encodeRecordStream(repeated(63, 3), runs), (Bytes{0xFF, 0x01}));
  EXPECT_EQ(encodeRecordStream(repeated(0, 257), runs), (Bytes{0xC0, 0xFF}));
  EXPECT_EQ(encodeRecordStream(repeated(0, 258), runs), (Bytes{0xC0, 0xFF, 0x80}));
  EXPECT_EQ(encodeRecordStream(repeated(70, 5), runs), (Bytes{0x00}));
  // Codes without a 0xC0+ form: table entries that fit, then single cells.
  EXPECT_EQ(encodeRecordStream(repeated(70, 11), runs), (Bytes{0x00, 0x00, 0xFE, 70}));
  EXPECT_EQ(encodeRecordStream(repeated(62, 5), runs), (Bytes{0x01, 0x01, 0xBE}));
  EXPECT_EQ(encodeRecordStream(repeated(90, 2), runs), (Bytes{0xFE, 90, 0xFE, 90}));
}

TEST(RecordEncoding, RunTableFavoursFrequentCostlyRuns) {
  const Codes record = joined({repeated(1, 4), Codes{2}, repeated(1, 4), Codes{2}, repeated(100, 9), Codes{2},
                               repeated(1, 300)});
  const std::vector<RunEntry> runs = chooseRunTable(std::vector<Codes>{record});
  ASSERT_FALSE(runs.empty());
  EXPECT_EQ(runs[0], (RunEntry{100, 7}));  // 18 bytes as escapes
  EXPECT_EQ(runs[1], (RunEntry{1, 2}));    // twice
  EXPECT_EQ(decodeCodes(encodeRecordStream(record, runs), runs, record.size()), record);
}

// A field like a rain map: a no-data sea block, dry land and rain cells of many levels.
std::vector<ArchiveRecord> randomRecords(const GridDescription& grid, int count, int levels, unsigned seed) {
  std::mt19937 random(seed);
  std::vector<ArchiveRecord> records;
  for (int j = 0; j < count; ++j) {
    Cells values(grid.cellCount(), 0);
    for (std::size_t i = 0; i < values.size(); ++i) {
      const auto col = static_cast<int>(i % static_cast<std::size_t>(grid.nx));
      if (col < grid.nx / 3) values[i] = -1;
      else if (random() % 3 == 0) values[i] = static_cast<std::int16_t>(random() % static_cast<unsigned>(levels) * 5);
      else if (i > 0) values[i] = values[i - 1];
    }
    records.push_back({{2005, 5, 7, static_cast<std::uint8_t>(j / 2), static_cast<std::uint8_t>(30 * (j % 2))}, values});
  }
  return records;
}

TEST(ArchiveEncoding, RoundTripsThroughARealFile) {
  test::TempDir dir;
  const GridDescription grid{48000000, 120000000, 62500, 41667, 123, 77};
  for (int levels : {3, 60, 255}) {
    const std::vector<ArchiveRecord> records = randomRecords(grid, 48, levels, static_cast<unsigned>(levels));
    const std::string path = (dir / ("J2005507-" + std::to_string(levels) + ".RAP")).string();
    ASSERT_TRUE(writeArchiveFile(path, grid, records));
    ArchiveFile file;
    ASSERT_TRUE(file.load(path));
    EXPECT_EQ(file.grid(), grid);
    ASSERT_EQ(file.records().size(), records.size());
    Cells cells(grid.cellCount());
    for (std::size_t j = 0; j < records.size(); ++j) {
      EXPECT_EQ(file.records()[j].stamp, records[j].stamp);
      ASSERT_TRUE(file.decodeRecord(j, cells));
      ASSERT_EQ(cells, records[j].values) << "levels " << levels << " record " << j;
    }
  }
}

TEST(ArchiveEncoding, SkippedBytesAreNeverZeroAndWhatTheFormatCannotHoldIsRefused) {
  const GridDescription grid{36000000, 135000000, 62500, 41667, 3, 1};
  const std::vector<ArchiveRecord> records{{{2005, 1, 1, 0, 0}, {0, 0, 0}}};
  Bytes bytes;
  ASSERT_TRUE(encodeArchive(grid, records, bytes));
  // One record: the directory ends at 104, the grid lies at 108-127, L at 146.
  const std::vector<std::pair<std::size_t, std::size_t>> skipped{{0, 80}, {82, 84}, {90, 100}, {104, 108}, {128, 146}};
  for (const auto& [begin, end] : skipped) {
    for (std::size_t i = begin; i < end; ++i) EXPECT_NE(bytes[i], 0) << i;
  }
  const std::size_t record = static_cast<std::size_t>(readI32LE(bytes.data() + 84 + 16));
  for (std::size_t i = record; i < record + 4; ++i) EXPECT_NE(bytes[i], 0) << i;
  // What the format cannot hold is refused.
  Cells values(257);
  for (std::size_t i = 0; i < values.size(); ++i) values[i] = static_cast<std::int16_t>(i);
  const std::vector<ArchiveRecord> wide{{{}, values}};
  EXPECT_EQ(encodeArchive({36000000, 135000000, 62500, 41667, 257, 1}, wide, bytes).message,
            messages::kArchiveTooManyLevels);
  EXPECT_EQ(encodeArchive({36000000, 135000000, 62500, 41667, 256, 1}, wide, bytes).message,
            messages::kArchiveRecordSizeMismatch);
  EXPECT_EQ(encodeArchive({36000000, 135000000, 0, 41667, 257, 1}, wide, bytes).message,
            messages::kArchiveGridInvalid);
}

}  // namespace
}  // namespace ombrix::core
