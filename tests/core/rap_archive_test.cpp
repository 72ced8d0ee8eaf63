#include "core/rap_archive.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "core/messages.h"
#include "core/rap_encoder.h"
#include "support/test_support.h"

namespace ombrix::core {
namespace {

using Cells = std::vector<std::int16_t>;

// The stream decoded row by row, rows of width cells, and what the decoder said.
std::pair<Cells, Problem> decodeRows(const Bytes& stream, const Cells& levels, const std::vector<RunEntry>& runs,
                                     std::size_t count, std::size_t width) {
  Cells cells;
  const Problem problem = decodeRecordRows(stream, levels, runs, width, count / width,
                                           [&](std::size_t r, std::span<const std::int16_t> row) {
                                             EXPECT_EQ(r * width, cells.size());
                                             cells.insert(cells.end(), row.begin(), row.end());
                                           });
  return {cells, problem};
}

// The cells of a stream, which the row decoder gives alike in rows of one cell, of three and of all.
Cells decodeOk(const Bytes& stream, const Cells& levels, const std::vector<RunEntry>& runs, std::size_t count) {
  Cells cells(count, 999);
  EXPECT_EQ(decodeRecordStream(stream, levels, runs, cells), Problem::None);
  for (const std::size_t width : {std::size_t{1}, count % 3 == 0 ? std::size_t{3} : count, count}) {
    EXPECT_EQ(decodeRows(stream, levels, runs, count, width), std::pair(cells, Problem::None)) << width;
  }
  return cells;
}

Cells levelsUpTo(int count, int step = 10) {
  Cells levels(static_cast<std::size_t>(count));
  for (int k = 0; k < count; ++k) levels[static_cast<std::size_t>(k)] = static_cast<std::int16_t>(step * k);
  return levels;
}

TEST(RecordDecoding, EveryCodeForm) {
  EXPECT_EQ(decodeOk({0x00, 0x82, 0xC0, 0x02}, {0, 5, 10}, {{1, 1}}, 8), (Cells{5, 5, 5, 10, 0, 0, 0, 0}));
  const Cells levels = levelsUpTo(256);
  // One cell per byte for 0x80-0xBF.
  EXPECT_EQ(decodeOk({0x80, 0xBF, 0x81}, levels, {}, 3), (Cells{0, 630, 10}));
  // The escape names any code, low ones included, and is never a run.
  EXPECT_EQ(decodeOk({0xFE, 0x05, 0xFE, 0xC8}, levels, {}, 2), (Cells{50, 2000}));
  // 0xFF is a run of code 63; 0xC0 with length byte 0xFF is 257 cells.
  EXPECT_EQ(decodeOk({0xFF, 0x00}, levels, {}, 2), (Cells{630, 630}));
  EXPECT_EQ(decodeOk({0xC0, 0xFF}, levels, {}, 257), Cells(257, 0));
  EXPECT_EQ(decodeOk({0xFD, 0x01}, levels, {}, 3), Cells(3, 610));
  // Run-table entries: (3, 0) is two cells; entry 127 is the last one a byte can name.
  std::vector<RunEntry> runs(128, RunEntry{1, 0});
  runs[0] = {3, 0};
  runs[127] = {200, 255};
  EXPECT_EQ(decodeOk({0x00}, levels, runs, 2), (Cells{30, 30}));
  EXPECT_EQ(decodeOk({0x7F}, levels, runs, 257), Cells(257, 2000));
}

TEST(RecordDecoding, LongRunsOfEveryLengthFillExactlyAndStayInsideTheGrid) {
  // Runs of every length next to single cells, so a fill that overshoots its run would show.
  const Cells levels = levelsUpTo(3);
  Bytes stream;
  Cells expected;
  for (int length = 2; length <= 257; ++length) {
    stream.insert(stream.end(), {0xC1, static_cast<std::uint8_t>(length - 2), 0x82});
    expected.insert(expected.end(), static_cast<std::size_t>(length), 10);
    expected.push_back(20);
  }
  EXPECT_EQ(decodeOk(stream, levels, {}, expected.size()), expected);

  // A longest run at every distance from the last cell, and single cells after it: no store may
  // reach past the grid (the sanitizer build checks), and no cell may be left wrong.
  for (std::size_t tail = 0; tail < 320; ++tail) {
    Bytes runLast(tail, 0x80);
    runLast.insert(runLast.end(), {0xC1, 0xFF});
    expected.assign(tail, 0);
    expected.insert(expected.end(), 257, 10);
    EXPECT_EQ(decodeOk(runLast, levels, {}, expected.size()), expected) << tail;

    Bytes runFirst{0xC1, 0xFF};
    runFirst.insert(runFirst.end(), tail, 0x80);
    std::rotate(expected.begin(), expected.begin() + static_cast<std::ptrdiff_t>(tail), expected.end());
    EXPECT_EQ(decodeOk(runFirst, levels, {}, expected.size()), expected) << tail;
  }
}

TEST(RecordDecoding, MalformedStreamsAreRefusedWithoutOverrun) {
  const Cells levels = levelsUpTo(3);
  const std::vector<RunEntry> runs{{1, 0}, {7, 0}};
  struct Case {
    Bytes stream;
    Problem result;
  };
  const std::vector<Case> cases{
      {{0x83}, Problem::ArchiveLevelOutOfTable},         {{0xFE, 0x03}, Problem::ArchiveLevelOutOfTable},
      {{0xC3, 0x00}, Problem::ArchiveLevelOutOfTable},   {{0x01}, Problem::ArchiveLevelOutOfTable},
      {{0x02}, Problem::ArchiveRunOutOfTable},           {{0x7F}, Problem::ArchiveRunOutOfTable},
      {{0x80, 0xC0, 0x02}, Problem::ArchiveRunPastGrid}, {{0x80, 0x80, 0x80, 0x00}, Problem::ArchiveRunPastGrid},
      {{0x80}, Problem::ArchiveStreamTruncated},         {{0xFE}, Problem::ArchiveStreamTruncated},
      {{0xC0}, Problem::ArchiveStreamTruncated},         {{}, Problem::ArchiveStreamTruncated},
  };
  for (const Case& c : cases) {
    Cells cells(4, 7);
    EXPECT_EQ(decodeRecordStream(c.stream, levels, runs, cells), c.result) << "first byte " << int(c.stream.empty() ? -1 : c.stream[0]);
    EXPECT_EQ(decodeRows(c.stream, levels, runs, 4, 2).second, c.result);
  }
}

GridDescription smallGrid() { return {36000000, 135000000, 62500, 41667, 4, 2}; }

ArchiveContents twoRecordArchive() {
  ArchiveContents c{smallGrid(), {0, 5, 10}, {{1, 1}}, {}};
  c.records.push_back({{2005, 5, 7, 0, 0}, {0x00, 0x82, 0xC0, 0x02}});
  c.records.push_back({{2005, 5, 7, 1, 0}, {0xC2, 0x06}});
  return c;
}

TEST(ArchiveFileReading, ReadsTablesDirectoryAndEachRecordAtItsOwnOffset) {
  test::TempDir dir;
  const std::string path = (dir / "J2005507.RAP").string();
  test::writeBytes(path, assembleArchive(twoRecordArchive()));
  ArchiveFile file;
  ASSERT_TRUE(file.load(path));
  EXPECT_EQ(file.grid(), smallGrid());
  ASSERT_EQ(file.records().size(), 2u);
  EXPECT_EQ(file.records()[1].stamp, (TimeStamp{2005, 5, 7, 1, 0}));
  EXPECT_EQ(file.levels().size(), 3u);
  // Record 1 is placed before record 0; each is decoded from its own offset after 4 skipped bytes.
  EXPECT_LT(file.records()[1].recordOffset, file.records()[0].recordOffset);
  Cells cells(8);
  ASSERT_TRUE(file.decodeRecord(0, cells));
  EXPECT_EQ(cells, (Cells{5, 5, 5, 10, 0, 0, 0, 0}));
  ASSERT_TRUE(file.decodeRecord(1, cells));
  EXPECT_EQ(cells, Cells(8, 10));
  // The header alone, read from disk, matches the whole file.
  ArchiveHeader header;
  ASSERT_TRUE(readArchiveHeader(path, header));
  EXPECT_EQ(header.grid, file.grid());
  ASSERT_EQ(header.records.size(), 2u);
  EXPECT_EQ(header.records[0].recordOffset, file.records()[0].recordOffset);
  const Status missing = readArchiveHeader((dir / "J2005508.RAP").string(), header);
  EXPECT_EQ(message(missing), std::string(messages::kArchiveFileUnreadable) + (dir / "J2005508.RAP").string());
}

// Offsets inside the two-record file built above (N = 2: the tables start at 124).
constexpr std::size_t kGridAt = 128;
constexpr std::size_t kLevelCountAt = 166;
constexpr std::size_t kRunCountAt = 174;

// The file is refused, naming it and the check that failed.
void expectMalformed(const Bytes& bytes, messages::Text check, const char* what) {
  const std::string expected = std::string(messages::kArchiveFileMalformed) + "bad.RAP" + std::string(check);
  ArchiveFile file;
  const Status parsed = file.parse(bytes, "bad.RAP");
  if (!parsed) {
    EXPECT_EQ(message(parsed), expected) << what;
    return;
  }
  Cells cells(file.grid().cellCount());
  const Status decoded0 = file.decodeRecord(0, cells);
  const Status decoded1 = file.decodeRecord(1, cells);
  EXPECT_FALSE(decoded0 && decoded1) << what;
  EXPECT_EQ(message(decoded0 ? decoded1 : decoded0), expected) << what;
}

TEST(ArchiveFileReading, MalformedFilesAreReportedWithTheirName) {
  const Bytes good = assembleArchive(twoRecordArchive());
  auto patched = [&](std::size_t at, std::initializer_list<std::uint8_t> bytes) {
    Bytes b = good;
    std::copy(bytes.begin(), bytes.end(), b.begin() + static_cast<std::ptrdiff_t>(at));
    return b;
  };
  expectMalformed(Bytes(good.begin(), good.begin() + 81), messages::kArchiveRecordCountInvalid, "cut inside N");
  expectMalformed(Bytes(good.begin(), good.begin() + kGridAt + 10), messages::kArchiveGridInvalidInFile, "cut inside the grid");
  expectMalformed(Bytes(good.begin(), good.begin() + kRunCountAt + 3), messages::kArchiveDirectoryEntryInvalid,
                  "cut inside the run table: the records lie beyond the end");
  expectMalformed(patched(80, {0xFF, 0xFF}), messages::kArchiveRecordCountInvalid, "negative N");
  expectMalformed(patched(80, {0x00, 0x40}), messages::kArchiveRecordCountInvalid, "N beyond the file");
  expectMalformed(patched(kLevelCountAt, {0xFF, 0xFF}), messages::kArchiveLevelTableInvalid, "negative L");
  expectMalformed(patched(kLevelCountAt, {0x00, 0x7F}), messages::kArchiveLevelTableInvalid, "L beyond the file");
  expectMalformed(patched(kRunCountAt, {0xFF, 0x7F}), messages::kArchiveRunTableInvalid, "P beyond the file");
  expectMalformed(patched(kGridAt + 16, {0x00, 0x00}), messages::kArchiveGridInvalidInFile, "no columns");
  expectMalformed(patched(kGridAt + 18, {0xFE, 0xFF}), messages::kArchiveGridInvalidInFile, "negative rows");
  expectMalformed(patched(kGridAt + 8, {0, 0, 0, 0}), messages::kArchiveGridInvalidInFile, "zero spacing");
  expectMalformed(patched(kGridAt + 16, {0xFF, 0x7F}), messages::kArchiveDirectoryEntryInvalid, "more cells than the file could hold");
  expectMalformed(patched(84 + 16, {0xFF, 0xFF, 0xFF, 0xFF}), messages::kArchiveDirectoryEntryInvalid, "negative record offset");
  expectMalformed(patched(84 + 16, {0x00, 0x00, 0x01, 0x00}), messages::kArchiveDirectoryEntryInvalid, "record offset past the end");
  expectMalformed(patched(kLevelCountAt, {0x02, 0x00}), messages::kArchiveRecordStreamInvalid, "level code beyond the table");
  // Without the bytes after it and its last run, the last record's stream ends early.
  Bytes truncated = good;
  truncated.resize(good.size() - 5 - 2);
  expectMalformed(truncated, messages::kArchiveRecordStreamInvalid, "stream cut short");
}

// The window itself is checked through the exact preprocessed file (core/preprocess_run_test).
TEST(AreaWindow, OverlapNeedsASharedCell) {
  const GridDescription g{48000000, 120000000, 62500, 41667, 480, 660};
  const std::int32_t lastLon = 120000000 + 479 * 62500;
  const std::int32_t lastLat = 48000000 - 659 * 41667;
  EXPECT_TRUE(areaOverlapsGrid(g, {139000000, 46000000, 147000000, 41000000}));
  EXPECT_TRUE(areaOverlapsGrid(g, {100000000, 48000000, 120000000, 47000000}));  // touches column 0
  EXPECT_TRUE(areaOverlapsGrid(g, {lastLon, lastLat, lastLon + 5, lastLat - 5}));
  EXPECT_FALSE(areaOverlapsGrid(g, {lastLon + 1, 40000000, lastLon + 900000, 30000000}));
  EXPECT_FALSE(areaOverlapsGrid(g, {110000000, 40000000, 119999999, 30000000}));
  EXPECT_FALSE(areaOverlapsGrid(g, {130000000, 49000000, 131000000, 48000001}));
  EXPECT_FALSE(areaOverlapsGrid(g, {130000000, lastLat - 1, 131000000, 10000000}));
  EXPECT_FALSE(areaOverlapsGrid(g, {147000000, 46000000, 139000000, 41000000}));  // west east of east
  EXPECT_FALSE(areaOverlapsGrid(g, {139000000, 41000000, 147000000, 46000000}));  // south north of north
}

using Codes = std::vector<std::uint8_t>;

TEST(RecordEncoding, UsesEachCodeFormWhereItApplies) {
  const std::vector<RunEntry> runs{{70, 3}, {62, 0}};
  EXPECT_EQ(encodeRecordStream(Codes{5}, runs), (Bytes{0x85}));
  EXPECT_EQ(encodeRecordStream(Codes{200}, runs), (Bytes{0xFE, 200}));
  EXPECT_EQ(encodeRecordStream(Codes(3, 63), runs), (Bytes{0xFF, 0x01}));
  EXPECT_EQ(encodeRecordStream(Codes(257, 0), runs), (Bytes{0xC0, 0xFF}));
  EXPECT_EQ(encodeRecordStream(Codes(258, 0), runs), (Bytes{0xC0, 0xFF, 0x80}));
  EXPECT_EQ(encodeRecordStream(Codes(5, 70), runs), (Bytes{0x00}));
  // Codes without a 0xC0+ form: table entries that fit, then single cells.
  EXPECT_EQ(encodeRecordStream(Codes(11, 70), runs), (Bytes{0x00, 0x00, 0xFE, 70}));
  EXPECT_EQ(encodeRecordStream(Codes(5, 62), runs), (Bytes{0x01, 0x01, 0xBE}));
  EXPECT_EQ(encodeRecordStream(Codes(2, 90), runs), (Bytes{0xFE, 90, 0xFE, 90}));
}

TEST(RecordEncoding, RunTableFavoursFrequentCostlyRuns) {
  Codes record;
  for (const auto& [count, code] : {std::pair{4, 1}, {1, 2}, {4, 1}, {1, 2}, {9, 100}, {1, 2}, {300, 1}}) {
    record.insert(record.end(), static_cast<std::size_t>(count), static_cast<std::uint8_t>(code));
  }
  const std::vector<RunEntry> runs = chooseRunTable(std::vector<Codes>{record});
  ASSERT_GE(runs.size(), 2u);
  EXPECT_EQ(runs[0], (RunEntry{100, 7}));  // 18 bytes as escapes
  EXPECT_EQ(runs[1], (RunEntry{1, 2}));    // twice
  EXPECT_EQ(decodeOk(encodeRecordStream(record, runs), levelsUpTo(256, 1), runs, record.size()),
            Cells(record.begin(), record.end()));
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
  EXPECT_EQ(message(encodeArchive({36000000, 135000000, 62500, 41667, 257, 1}, wide, bytes)),
            messages::kArchiveTooManyLevels);
  EXPECT_EQ(message(encodeArchive({36000000, 135000000, 62500, 41667, 256, 1}, wide, bytes)),
            messages::kArchiveRecordSizeMismatch);
  EXPECT_EQ(message(encodeArchive({36000000, 135000000, 0, 41667, 257, 1}, wide, bytes)),
            messages::kArchiveGridInvalid);
}

}  // namespace
}  // namespace ombrix::core
