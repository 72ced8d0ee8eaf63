// Preprocessed files and the atomic output file they are written through.
#include "core/rmd_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "core/messages.h"
#include "core/output_file.h"
#include "support/fault_injection.h"
#include "support/test_support.h"

namespace ombrix::core {
namespace {

using test::readBytes;
using test::TempDir;
using test::writeBytes;

bool allZero(const Bytes& bytes, std::size_t from, std::size_t to) {
  return std::all_of(bytes.begin() + static_cast<std::ptrdiff_t>(from), bytes.begin() + static_cast<std::ptrdiff_t>(to),
                     [](std::uint8_t b) { return b == 0; });
}

// One day of hourly data over 81 rows and 129 columns, written for real.
TEST(RmdWriter, OneHourlyDayHasTheDocumentedLayout) {
  TempDir dir;
  const auto path = dir / rmdFileName("Ho", 1999, 9, 30, 1999, 11, 2);
  EXPECT_EQ(path.filename(), "Ho199993019991102.RMD");  // months and days without a leading zero
  const RmdHeader header{24, -123456789, 46000000, 147000000, 2147483647, 81, 129, 31250, 20833, -32768};
  RmdWriter writer;
  ASSERT_TRUE(writer.create(path, header, 24));
  std::vector<std::int16_t> cells(81 * 129);
  for (int k = 0; k < 24; ++k) {
    writer.setEntry(k, {2001, 1, 1, static_cast<std::uint8_t>(k), 0});
    std::iota(cells.begin(), cells.end(), static_cast<std::int16_t>(k));
    ASSERT_TRUE(writer.writeFrame(k, cells));
  }
  ASSERT_TRUE(writer.commit());

  const Bytes bytes = readBytes(path);
  EXPECT_EQ(bytes.size(), 987994u);
  EXPECT_EQ(readI16LE(bytes.data() + 18) * 1000 + readI16LE(bytes.data() + 20), 81129);  // rows before columns
  EXPECT_EQ(std::pair(writer.frameOffset(0), writer.frameOffset(1)), (std::pair<std::int64_t, std::int64_t>(5788, 47584)));
  RmdContents contents;
  ASSERT_TRUE(readRmdFile(path, contents));
  EXPECT_EQ(contents.header, header);
  ASSERT_EQ(contents.index.size(), 24u);
  EXPECT_EQ(std::pair(contents.index[1].frameOffset, contents.index[23].frameOffset), std::pair(47584, 5788 + 23 * 41796));
  EXPECT_EQ(contents.index[23].stamp, (TimeStamp{2001, 1, 1, 23, 0}));
  // Between the index (ending at 268) and D, and the second half of every slot, stay zero.
  EXPECT_TRUE(allZero(bytes, 268, 5788));
  EXPECT_TRUE(allZero(bytes, 5788 + 20898, 47584));

  std::vector<std::int16_t> frame;
  ASSERT_TRUE(readRmdFrame(path, contents.header, contents.index[1].frameOffset, frame));
  EXPECT_EQ(frame.front(), 1);
  EXPECT_EQ(frame.back(), static_cast<std::int16_t>(1 + 81 * 129 - 1));
}

TEST(RmdReader, FramesWithoutDataCellRangesAndTruncatedFrames) {
  const RmdHeader header{1, 139000000, 46000000, 147000000, 41000000, 2, 3, 31250, 20833, -1};
  constexpr std::int32_t kFrame = kRmdHeaderSize + kRmdIndexEntrySize;
  Bytes bytes(kFrame);
  encodeRmdHeader(header, bytes.data());
  for (std::int16_t v = 1; v <= 6; ++v) appendI16LE(bytes, v);
  bytes.pop_back();  // the last cell one byte short
  std::vector<std::int16_t> cells;
  ASSERT_TRUE(decodeRmdFrame(bytes, 0, header, 0, {0, 6}, cells, "t.RMD"));
  EXPECT_EQ(cells, std::vector<std::int16_t>(6, -1));
  ASSERT_TRUE(decodeRmdFrame(bytes, 0, header, kFrame, {1, 4}, cells, "t.RMD"));
  EXPECT_EQ(cells, (std::vector<std::int16_t>{2, 3, 4, 5}));
  EXPECT_EQ(message(decodeRmdFrame(bytes, 0, header, kFrame, {0, 6}, cells, "t.RMD")),
            std::string(messages::kRmdFileTruncated) + "t.RMD");
  EXPECT_EQ(cells, (std::vector<std::int16_t>{2, 3, 4, 5}));

  // From disk: the same decoder on the block read for the frame.
  TempDir dir;
  const auto path = dir / "t.RMD";
  writeBytes(path, bytes);
  EXPECT_EQ(message(readRmdFrame(path, header, kFrame, cells)), std::string(messages::kRmdFileTruncated) + path.string());
  EXPECT_EQ(message(readRmdFrame(dir / "gone.RMD", header, kFrame, cells)),
            std::string(messages::kRmdFileGone) + (dir / "gone.RMD").string());
}

// A frame of more cells than one block read, from disk and from memory: whole, by a range across
// a block boundary and by cell.
TEST(RmdReader, FramesLargerThanABlock) {
  const RmdHeader header{1, 139000000, 46000000, 147000000, 41000000, 600, 1000, 31250, 20833, -1};
  constexpr std::int32_t kFrame = kRmdHeaderSize + kRmdIndexEntrySize;
  Bytes bytes(kFrame);
  encodeRmdHeader(header, bytes.data());
  std::vector<std::int16_t> stored(header.cellCount());
  for (std::size_t c = 0; c < stored.size(); ++c) appendI16LE(bytes, stored[c] = static_cast<std::int16_t>(c % 30011));
  TempDir dir;
  writeBytes(dir / "t.RMD", bytes);
  RmdFrameReader readers[2];
  ASSERT_TRUE(readers[0].open(dir / "t.RMD"));
  readers[1].openBytes(bytes, "t.RMD");
  for (RmdFrameReader& reader : readers) {
    std::vector<std::int16_t> cells;
    std::int16_t last = 0;
    ASSERT_TRUE(reader.read(header, kFrame, {0, stored.size()}, cells));
    EXPECT_EQ(cells, stored);
    ASSERT_TRUE(reader.read(header, kFrame, {524'280, 20}, cells));
    EXPECT_TRUE(std::equal(cells.begin(), cells.end(), stored.begin() + 524'280));
    EXPECT_TRUE(reader.readCell(header, kFrame, stored.size() - 1, last) && last == stored.back());
    EXPECT_EQ(reader.readCell(header, kFrame, stored.size(), last).problem, Problem::RmdFileTruncated);
  }
}

// Sequential and positioned bytes reach the target only on commit; an uncommitted, failed or
// refused write leaves the old target and no temporary file behind.
TEST(OutputFile, CommitsWholeFilesAndFailuresLeaveTheOldTarget) {
  TempDir dir;
  const auto target = dir / "out.RMD";
  test::writeText(target, "old");
  {
    OutputFile file;
    ASSERT_TRUE(file.open(target));
    ASSERT_TRUE(file.write("abc"));
    EXPECT_EQ(test::readText(target), "old");
  }  // dropped without commit
  EXPECT_EQ(test::namesIn(dir.path()), std::vector<std::string>{"out.RMD"});
  OutputFile file;
  ASSERT_TRUE(file.open(target));
  ASSERT_TRUE(file.write("ab"));
  ASSERT_TRUE(file.writeAt(4, Bytes{7}));
  ASSERT_TRUE(file.commit());
  EXPECT_EQ(test::readBytes(target), (Bytes{'a', 'b', 0, 0, 7}));

  const std::string failure = std::string(messages::kCannotWriteFile) + target.string() +
                              std::string(messages::kReasonPrefix) + "File too large" + std::string(messages::kReasonSuffix);
  const test::ChildOutcome limited = test::runInChild(
      [&] {
        OutputFile big;
        if (!big.open(target)) return 1;
        for (int k = 0; k < 3; ++k) (void)big.write(Bytes(1 << 20, 1));
        return message(big.commit()) == failure ? 0 : 2;
      },
      test::fileSizeLimit(4096));
  EXPECT_EQ(limited.exitCode, 0) << "1: not opened, 2: not refused with " << failure;
  EXPECT_EQ(test::readBytes(target), (Bytes{'a', 'b', 0, 0, 7}));
  EXPECT_EQ(test::namesIn(dir.path()), std::vector<std::string>{"out.RMD"});

  test::writeText(dir / "plain-file", "x");
  EXPECT_EQ(message(file.open(dir / "plain-file" / "x.CSV")),
            std::string(messages::kCannotCreateFile) + (dir / "plain-file" / "x.CSV").string() +
                std::string(messages::kReasonPrefix) + "Not a directory" + std::string(messages::kReasonSuffix));
  EXPECT_EQ(message(file.open(dir.path())), std::string(messages::kOutputIsFolder) + dir.path().string());

  // A temporary name keeps at most 200 bytes of a long name, cut before a character that would
  // not fit whole.
  const std::string name = std::string(199, 'n') + "長長";
  EXPECT_EQ(temporarySibling(dir / name).filename().string().rfind("." + std::string(199, 'n') + ".", 0), 0u);
}

}  // namespace
}  // namespace ombrix::core
