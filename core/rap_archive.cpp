#include "core/rap_archive.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <fstream>

#include "core/messages.h"

namespace ombrix::core {

namespace {

Status malformed(const std::string& name) {
  return Status::failure(std::string(messages::kArchiveFileMalformed) + name);
}

Status unreadable(const std::string& name) {
  return Status::failure(std::string(messages::kArchiveFileUnreadable) + name);
}

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
  e.stamp = {readI16LE(p), p[2], p[3], p[4], p[5]};
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
// file of fileSize bytes.
bool parseHead(const ByteView& view, std::uint64_t fileSize, ArchiveHeader& header) {
  if (!view.has(kArchiveRecordCountOffset, 2)) return false;
  const std::int16_t n = view.i16(kArchiveRecordCountOffset);
  if (n < 0) return false;
  const auto count = static_cast<std::size_t>(n);
  if (!view.has(0, headSize(count))) return false;
  const GridDescription grid = decodeGrid(view.at(directoryEnd(count) + kArchiveGridOffsetAfterDirectory));
  if (grid.nx <= 0 || grid.ny <= 0 || grid.dlon <= 0 || grid.dlat <= 0) return false;
  std::vector<RecordEntry> records(count);
  for (std::size_t j = 0; j < count; ++j) {
    records[j] = decodeEntry(view.at(kArchiveDirectoryOffset + kArchiveDirectoryEntrySize * j));
    if (!recordFits(records[j].recordOffset, fileSize, grid.cellCount())) return false;
  }
  header.grid = grid;
  header.records = std::move(records);
  return true;
}

// Reads count bytes at offset (fewer at the end of the file).
Bytes readBlock(std::ifstream& in, std::uint64_t offset, std::size_t count) {
  Bytes bytes(count);
  in.seekg(static_cast<std::streamoff>(offset));
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(count));
  bytes.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
  in.clear();
  return bytes;
}

std::optional<std::uint64_t> fileSize(std::ifstream& in) {
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (!in || size < 0) return std::nullopt;
  return static_cast<std::uint64_t>(size);
}

// A run-table entry resolved to its value; length 0 marks an entry a stream must not use.
struct ResolvedRun {
  std::int16_t value = 0;
  std::uint16_t length = 0;
};

std::array<ResolvedRun, kAddressableRuns> resolveRuns(std::span<const std::int16_t> levels,
                                                     std::span<const RunEntry> runs) noexcept {
  std::array<ResolvedRun, kAddressableRuns> table{};
  const std::size_t count = std::min<std::size_t>(runs.size(), kAddressableRuns);
  for (std::size_t k = 0; k < count; ++k) {
    if (runs[k].level >= levels.size()) continue;
    table[k] = {levels[runs[k].level], static_cast<std::uint16_t>(runs[k].extra + kMinRunLength)};
  }
  return table;
}

// Fills length cells with value. With room for it, whole blocks of 16 cells are stored, which
// may write past the run; the cells beyond it are overwritten by the codes that follow.
inline void fillRun(std::int16_t* out, std::size_t length, std::int16_t value, std::size_t room) noexcept {
  constexpr std::size_t kBlock = 16;
  if (room >= length + kBlock - 1) {
    for (std::size_t k = 0; k < length; k += kBlock) {
      for (std::size_t m = 0; m < kBlock; ++m) out[k + m] = value;
    }
  } else {
    std::fill_n(out, length, value);
  }
}

}  // namespace

DecodeResult decodeRecordStream(std::span<const std::uint8_t> stream, std::span<const std::int16_t> levels,
                                std::span<const RunEntry> runs, std::span<std::int16_t> cells) noexcept {
  const std::array<ResolvedRun, kAddressableRuns> resolved = resolveRuns(levels, runs);
  const std::size_t levelCount = levels.size();
  const std::uint8_t* p = stream.data();
  const std::uint8_t* const end = p + stream.size();
  std::int16_t* out = cells.data();
  std::int16_t* const last = out + cells.size();
  while (out != last) {
    if (p == end) return DecodeResult::StreamTruncated;
    const unsigned b = *p++;
    std::size_t length = 1;
    std::int16_t value;
    if (b < kFirstSingleCode) {
      const ResolvedRun run = resolved[b];
      if (run.length == 0) return b < runs.size() ? DecodeResult::LevelOutOfTable : DecodeResult::RunOutOfTable;
      length = run.length;
      value = run.value;
    } else {
      unsigned code;
      if (b == kEscapeCode) {
        if (p == end) return DecodeResult::StreamTruncated;
        code = *p++;
      } else if (b < kFirstRunCode) {
        code = b - kFirstSingleCode;
      } else {
        if (p == end) return DecodeResult::StreamTruncated;
        code = b - kFirstRunCode;
        length = *p++ + std::size_t{kMinRunLength};
      }
      if (code >= levelCount) return DecodeResult::LevelOutOfTable;
      value = levels[code];
    }
    const auto room = static_cast<std::size_t>(last - out);
    if (length > room) return DecodeResult::RunPastGrid;
    if (length == 1) {
      *out = value;
    } else {
      fillRun(out, length, value, room);
    }
    out += length;
  }
  return DecodeResult::Ok;
}

Status readArchiveHeader(const std::string& path, ArchiveHeader& header) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return unreadable(path);
  const std::optional<std::uint64_t> size = fileSize(in);
  if (!size) return unreadable(path);
  Bytes head = readBlock(in, 0, kArchiveRecordCountOffset + 2);
  if (head.size() == kArchiveRecordCountOffset + 2) {
    const std::int16_t n = readI16LE(head.data() + kArchiveRecordCountOffset);
    if (n >= 0) head = readBlock(in, 0, headSize(static_cast<std::size_t>(n)));
  }
  if (!parseHead(ByteView(head), *size, header)) return malformed(path);
  return Status::success();
}

Status ArchiveFile::load(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return unreadable(path);
  const std::optional<std::uint64_t> size = fileSize(in);
  if (!size) return unreadable(path);
  Bytes bytes = readBlock(in, 0, static_cast<std::size_t>(*size));
  if (bytes.size() != *size) return unreadable(path);
  return parse(std::move(bytes), path);
}

Status ArchiveFile::parse(Bytes bytes, std::string name) {
  const ByteView view(bytes);
  ArchiveHeader header;
  if (!parseHead(view, bytes.size(), header)) return malformed(name);
  const std::size_t tables = directoryEnd(header.records.size());
  const std::size_t levelCountAt = tables + kArchiveLevelCountOffsetAfterDirectory;
  if (!view.has(levelCountAt, 2)) return malformed(name);
  const std::int16_t levelCount = view.i16(levelCountAt);
  if (levelCount < 0 || !view.has(levelCountAt + 2, 2 * static_cast<std::size_t>(levelCount) + 2)) {
    return malformed(name);
  }
  std::vector<std::int16_t> levels(static_cast<std::size_t>(levelCount));
  for (std::size_t k = 0; k < levels.size(); ++k) levels[k] = view.i16(levelCountAt + 2 + 2 * k);
  const std::size_t runCountAt = levelCountAt + 2 + 2 * levels.size();
  const std::int16_t runCount = view.i16(runCountAt);
  if (runCount < 0 || !view.has(runCountAt + 2, 2 * static_cast<std::size_t>(runCount))) return malformed(name);
  std::vector<RunEntry> runs(static_cast<std::size_t>(runCount));
  for (std::size_t k = 0; k < runs.size(); ++k) {
    runs[k] = {view.u8(runCountAt + 2 + 2 * k), view.u8(runCountAt + 3 + 2 * k)};
  }
  bytes_ = std::move(bytes);
  name_ = std::move(name);
  header_ = std::move(header);
  levels_ = std::move(levels);
  runs_ = std::move(runs);
  return Status::success();
}

Status ArchiveFile::decodeRecord(std::size_t j, std::span<std::int16_t> cells) const {
  if (j >= header_.records.size() || cells.size() != header_.grid.cellCount()) return malformed(name_);
  const std::size_t start = static_cast<std::size_t>(header_.records[j].recordOffset) + kArchiveRecordSkippedBytes;
  const std::span<const std::uint8_t> stream(bytes_.data() + start, bytes_.size() - start);
  if (decodeRecordStream(stream, levels_, runs_, cells) != DecodeResult::Ok) return malformed(name_);
  return Status::success();
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
