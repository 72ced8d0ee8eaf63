#include "core/rap_archive.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "core/input_file.h"

namespace ombrix::core {

namespace {

std::size_t directoryEnd(std::size_t recordCount) noexcept {
  return kArchiveDirectoryOffset + kArchiveDirectoryEntrySize * recordCount;
}

// Bytes from the start of the file up to the end of the grid description.
std::size_t headSize(std::size_t recordCount) noexcept {
  return directoryEnd(recordCount) + kArchiveGridOffsetAfterDirectory + kArchiveGridSize;
}

GridDescription decodeGrid(const std::uint8_t* p) noexcept {
  GridDescription g;
  g.lat0 = readI32LE(p + 0);
  g.lon0 = readI32LE(p + 4);
  g.dlon = readI32LE(p + 8);
  g.dlat = readI32LE(p + 12);
  g.nx = readI16LE(p + 16);
  g.ny = readI16LE(p + 18);
  return g;
}

RecordEntry decodeEntry(const std::uint8_t* p) noexcept {
  RecordEntry e;
  e.stamp = readTimeStamp(p);
  e.recordOffset = readI32LE(p + 16);
  return e;
}

// A record must start inside the file and leave enough stream bytes for its cells even if
// every byte were a longest run.
bool recordFits(std::int32_t offset, std::uint64_t fileSize, std::uint64_t cells) noexcept {
  if (offset < 0) return false;
  const std::uint64_t start = static_cast<std::uint64_t>(offset) + kArchiveRecordSkippedBytes;
  if (start >= fileSize) return false;
  return (fileSize - start) * kMaxRunLength >= cells;
}

// Parses N, the grid description and the directory from bytes holding at least the head of a
// file of fileSize bytes; the check that failed, if any.
Problem parseHead(const ByteView& view, std::uint64_t fileSize, ArchiveHeader& header) {
  if (!view.has(kArchiveRecordCountOffset, 2)) return Problem::ArchiveRecordCountInvalid;
  const std::int16_t n = view.i16(kArchiveRecordCountOffset);
  if (n < 0) return Problem::ArchiveRecordCountInvalid;
  const auto count = static_cast<std::size_t>(n);
  if (!view.has(0, directoryEnd(count))) return Problem::ArchiveRecordCountInvalid;
  if (!view.has(0, headSize(count))) return Problem::ArchiveGridDescriptionInvalid;
  const GridDescription grid = decodeGrid(view.at(directoryEnd(count) + kArchiveGridOffsetAfterDirectory));
  if (grid.nx <= 0 || grid.ny <= 0 || grid.dlon <= 0 || grid.dlat <= 0) return Problem::ArchiveGridDescriptionInvalid;
  std::vector<RecordEntry> records(count);
  for (std::size_t j = 0; j < count; ++j) {
    records[j] = decodeEntry(view.at(kArchiveDirectoryOffset + kArchiveDirectoryEntrySize * j));
    if (!recordFits(records[j].recordOffset, fileSize, grid.cellCount())) return Problem::ArchiveDirectoryEntryInvalid;
  }
  header.grid = grid;
  header.records = std::move(records);
  return Problem::None;
}

// What the first byte of a code gives: the value and cell count of a one-byte code (run-table
// entry or single cell), or length 0 for a code that takes a second byte (0xFE, 0xC0+) or names a
// level or run-table entry that does not exist.
struct Token {
  std::int16_t value = 0;
  std::uint16_t length = 0;
};

std::array<Token, 256> oneByteTokens(std::span<const std::int16_t> levels, std::span<const RunEntry> runs) noexcept {
  std::array<Token, 256> tokens{};
  const std::size_t runCount = std::min<std::size_t>(runs.size(), kAddressableRuns);
  for (std::size_t k = 0; k < runCount; ++k) {
    if (runs[k].level < levels.size()) {
      tokens[k] = {levels[runs[k].level], static_cast<std::uint16_t>(runs[k].extra + kMinRunLength)};
    }
  }
  const std::size_t directCount = std::min<std::size_t>(levels.size(), kDirectLevels);
  for (std::size_t code = 0; code < directCount; ++code) tokens[kFirstSingleCode + code] = {levels[code], 1};
  return tokens;
}

// The token of a code whose first byte b has no one-byte token; p is after b and moves past the
// second byte.
Problem twoByteToken(unsigned b, const std::uint8_t*& p, const std::uint8_t* end, std::span<const std::int16_t> levels,
                     std::span<const RunEntry> runs, Token& token) noexcept {
  if (b < kFirstSingleCode) return b < runs.size() ? Problem::ArchiveLevelOutOfTable : Problem::ArchiveRunOutOfTable;
  if (b < kFirstRunCode) return Problem::ArchiveLevelOutOfTable;
  if (p == end) return Problem::ArchiveStreamTruncated;
  const unsigned second = *p++;
  const unsigned code = b == kEscapeCode ? second : b - kFirstRunCode;
  if (code >= levels.size()) return Problem::ArchiveLevelOutOfTable;
  token = {levels[code], static_cast<std::uint16_t>(b == kEscapeCode ? 1 : second + kMinRunLength)};
  return Problem::None;
}

constexpr std::size_t kFillBlock = 32;

// Fills length cells with value. Away from the end of the room, whole blocks of 32 cells are
// stored, which may write past the run: the cells beyond it are overwritten by the codes that
// follow. This keeps short runs and single cells free of length-dependent branches.
inline void fillRun(std::int16_t* out, std::size_t length, std::int16_t value, std::size_t room) noexcept {
  if (room < kMaxRunLength + kFillBlock) {  // the last block of a longest run ends below 257 + 32
    std::fill_n(out, length, value);
    return;
  }
  std::size_t k = 0;
  do {
    for (std::size_t m = 0; m < kFillBlock; ++m) out[k + m] = value;
    k += kFillBlock;
  } while (k < length);
}

// Walks the codes of a stream of cellCount cells, handing each one's value and length to
// put(value, length, cells left before it) in order; stops at the first that cannot be decoded.
template <typename Put>
Problem walkRecordStream(std::span<const std::uint8_t> stream, std::span<const std::int16_t> levels,
                         std::span<const RunEntry> runs, std::size_t cellCount, Put&& put) noexcept {
  const std::array<Token, 256> tokens = oneByteTokens(levels, runs);
  const std::uint8_t* p = stream.data();
  const std::uint8_t* const end = p + stream.size();
  std::size_t left = cellCount;
  while (left != 0) {
    if (p == end) return Problem::ArchiveStreamTruncated;
    const unsigned b = *p++;
    Token token = tokens[b];
    if (token.length == 0) {
      if (const Problem problem = twoByteToken(b, p, end, levels, runs, token); problem != Problem::None) {
        return problem;
      }
    }
    if (token.length > left) return Problem::ArchiveRunPastGrid;
    put(token.value, token.length, left);
    left -= token.length;
  }
  return Problem::None;
}

}  // namespace

Problem decodeRecordStream(std::span<const std::uint8_t> stream, std::span<const std::int16_t> levels,
                           std::span<const RunEntry> runs, std::span<std::int16_t> cells) noexcept {
  std::int16_t* out = cells.data();
  return walkRecordStream(stream, levels, runs, cells.size(), [&](std::int16_t value, std::size_t length, std::size_t left) {
    fillRun(out, length, value, left);
    out += length;
  });
}

Problem decodeRecordRows(std::span<const std::uint8_t> stream, std::span<const std::int16_t> levels,
                         std::span<const RunEntry> runs, std::size_t rowCells, std::size_t rowCount,
                         const RecordRowSink& take) {
  // One row, the longest run past its end and the blocks fillRun may store beyond that.
  std::vector<std::int16_t> buffer(rowCells + kMaxRunLength + kFillBlock);
  std::int16_t* const rowEnd = buffer.data() + rowCells;
  std::int16_t* out = buffer.data();
  std::size_t row = 0;
  return walkRecordStream(stream, levels, runs, rowCells * rowCount, [&](std::int16_t value, std::size_t length, std::size_t) {
    fillRun(out, length, value, static_cast<std::size_t>(buffer.data() + buffer.size() - out));
    out += length;
    while (out >= rowEnd) {
      take(row++, std::span<const std::int16_t>(buffer.data(), rowCells));
      std::memmove(buffer.data(), rowEnd, static_cast<std::size_t>(out - rowEnd) * sizeof(std::int16_t));
      out -= rowCells;
    }
  });
}

Status readArchiveHeader(const std::string& path, ArchiveHeader& header) {
  InputFile file;
  if (!file.open(path)) return {Problem::ArchiveFileUnreadable, path};
  const std::optional<std::uint64_t> size = file.size();
  std::optional<Bytes> head = file.readBlock(0, kArchiveRecordCountOffset + 2);
  if (!size || !head) return {Problem::ArchiveFileUnreadable, path};
  if (head->size() == kArchiveRecordCountOffset + 2) {
    const std::int16_t n = readI16LE(head->data() + kArchiveRecordCountOffset);
    if (n >= 0) head = file.readBlock(0, headSize(static_cast<std::size_t>(n)));
    if (!head) return {Problem::ArchiveFileUnreadable, path};
  }
  if (const Problem problem = parseHead(ByteView(*head), *size, header); problem != Problem::None) {
    return {problem, path};
  }
  return {};
}

Status ArchiveFile::load(const std::string& path) {
  std::optional<Bytes> bytes = readWholeFile(path);
  if (!bytes) return {Problem::ArchiveFileUnreadable, path};
  return parse(std::move(*bytes), path);
}

Status ArchiveFile::parse(Bytes bytes, std::string name) {
  const ByteView view(bytes);
  ArchiveHeader header;
  if (const Problem problem = parseHead(view, bytes.size(), header); problem != Problem::None) return {problem, name};
  const std::size_t tables = directoryEnd(header.records.size());
  const std::size_t levelCountAt = tables + kArchiveLevelCountOffsetAfterDirectory;
  if (!view.has(levelCountAt, 2)) return {Problem::ArchiveLevelTableInvalid, name};
  const std::int16_t levelCount = view.i16(levelCountAt);
  if (levelCount < 0 || !view.has(levelCountAt + 2, 2 * static_cast<std::size_t>(levelCount))) {
    return {Problem::ArchiveLevelTableInvalid, name};
  }
  std::vector<std::int16_t> levels(static_cast<std::size_t>(levelCount));
  for (std::size_t k = 0; k < levels.size(); ++k) levels[k] = view.i16(levelCountAt + 2 + 2 * k);
  const std::size_t runCountAt = levelCountAt + 2 + 2 * levels.size();
  if (!view.has(runCountAt, 2)) return {Problem::ArchiveRunTableInvalid, name};
  const std::int16_t runCount = view.i16(runCountAt);
  if (runCount < 0 || !view.has(runCountAt + 2, 2 * static_cast<std::size_t>(runCount))) {
    return {Problem::ArchiveRunTableInvalid, name};
  }
  std::vector<RunEntry> runs(static_cast<std::size_t>(runCount));
  for (std::size_t k = 0; k < runs.size(); ++k) {
    runs[k] = {view.u8(runCountAt + 2 + 2 * k), view.u8(runCountAt + 3 + 2 * k)};
  }
  bytes_ = std::move(bytes);
  name_ = std::move(name);
  header_ = std::move(header);
  levels_ = std::move(levels);
  runs_ = std::move(runs);
  return {};
}

std::span<const std::uint8_t> ArchiveFile::recordStream(std::size_t j) const noexcept {
  const std::size_t start = static_cast<std::size_t>(header_.records[j].recordOffset) + kArchiveRecordSkippedBytes;
  return {bytes_.data() + start, bytes_.size() - start};
}

Status ArchiveFile::decodeRecord(std::size_t j, std::span<std::int16_t> cells) const {
  if (j >= header_.records.size() || cells.size() != header_.grid.cellCount()) {
    return {Problem::ArchiveRecordStreamInvalid, name_};
  }
  return named(decodeRecordStream(recordStream(j), levels_, runs_, cells));
}

Status ArchiveFile::decodeRecordRows(std::size_t j, const RecordRowSink& take) const {
  if (j >= header_.records.size()) return {Problem::ArchiveRecordStreamInvalid, name_};
  const auto rows = static_cast<std::size_t>(header_.grid.ny);
  return named(core::decodeRecordRows(recordStream(j), levels_, runs_, static_cast<std::size_t>(header_.grid.nx), rows, take));
}

Status ArchiveFile::named(Problem problem) const {
  if (problem != Problem::None) return {problem, name_};
  return {};
}

namespace {

// (offset div step) plus 1 unless the division is exact, truncating toward zero.
std::int64_t lastIndex(std::int64_t offset, std::int64_t step) noexcept {
  return offset / step + (offset % step != 0 ? 1 : 0);
}

int clampIndex(std::int64_t index, int count) noexcept {
  return static_cast<int>(std::clamp<std::int64_t>(index, 0, std::max(count - 1, 0)));
}

}  // namespace

AreaWindow areaWindow(const GridDescription& grid, const AreaBounds& area) noexcept {
  if (grid.dlon == 0 || grid.dlat == 0) return {};
  const std::int64_t dlon = grid.dlon;
  const std::int64_t dlat = grid.dlat;
  const std::int64_t firstCol = (std::int64_t{area.westLon} - grid.lon0) / dlon;
  const std::int64_t firstRow = (std::int64_t{grid.lat0} - area.northLat) / dlat;
  const std::int64_t lastCol = lastIndex(std::int64_t{area.eastLon} - grid.lon0, dlon);
  const std::int64_t lastRow = lastIndex(std::int64_t{grid.lat0} - area.southLat, dlat);
  return {clampIndex(firstCol, grid.nx), clampIndex(lastCol, grid.nx), clampIndex(firstRow, grid.ny),
          clampIndex(lastRow, grid.ny)};
}

bool areaOverlapsGrid(const GridDescription& grid, const AreaBounds& area) noexcept {
  if (grid.nx <= 0 || grid.ny <= 0 || grid.dlon <= 0 || grid.dlat <= 0) return false;
  if (area.westLon > area.eastLon || area.southLat > area.northLat) return false;
  const std::int64_t lastLon = std::int64_t{grid.lon0} + std::int64_t{grid.nx - 1} * grid.dlon;
  const std::int64_t lastLat = std::int64_t{grid.lat0} - std::int64_t{grid.ny - 1} * grid.dlat;
  return area.westLon <= lastLon && area.eastLon >= grid.lon0 && area.southLat <= grid.lat0 &&
         area.northLat >= lastLat;
}

}  // namespace ombrix::core
