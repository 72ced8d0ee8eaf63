#pragma once
// Reader and record decoder of the daily archive files (.RAP): record count, grid
// description, record directory, level and run tables, and the run-length record stream.
// Everything is decoded from bytes read in one block and checked against their size: a
// malformed file is reported with a message naming it, never trusted into a bad access.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/byte_io.h"
#include "core/region_table.h"
#include "core/status.h"
#include "core/time_stamp.h"

namespace ombrix::core {

struct GridDescription {
  std::int32_t lat0 = 0;  // latitude of row 0 (northernmost), microdegrees
  std::int32_t lon0 = 0;  // longitude of column 0 (westernmost)
  std::int32_t dlon = 0;  // column spacing
  std::int32_t dlat = 0;  // row spacing
  std::int16_t nx = 0;    // columns
  std::int16_t ny = 0;    // rows
  bool operator==(const GridDescription&) const = default;
  std::size_t cellCount() const noexcept {
    return static_cast<std::size_t>(nx > 0 ? nx : 0) * static_cast<std::size_t>(ny > 0 ? ny : 0);
  }
};

struct RecordEntry {
  TimeStamp stamp;
  std::int32_t recordOffset = 0;
};

struct RunEntry {
  std::uint8_t level = 0;
  std::uint8_t extra = 0;  // the run is extra + 2 cells long
};

// What passes 1 and 2 of a preprocessing run need: read from the head of the file only.
struct ArchiveHeader {
  GridDescription grid;
  std::vector<RecordEntry> records;
};

enum class DecodeResult { Ok, LevelOutOfTable, RunOutOfTable, RunPastGrid, StreamTruncated };

// Decodes one compressed record stream (the bytes after the record's 4 skipped bytes, up to
// the end of the file) into cells.size() cells.
DecodeResult decodeRecordStream(std::span<const std::uint8_t> stream, std::span<const std::int16_t> levels,
                                std::span<const RunEntry> runs, std::span<std::int16_t> cells) noexcept;

// Reads N, the grid description and the record directory of the file at path.
Status readArchiveHeader(const std::string& path, ArchiveHeader& header);

// One whole archive file in memory, parsed and checked.
class ArchiveFile {
 public:
  // Reads the file in one block and parses it; the message names path on failure.
  Status load(const std::string& path);
  // Parses bytes already in memory; name is used in messages.
  Status parse(Bytes bytes, std::string name);

  const GridDescription& grid() const noexcept { return header_.grid; }
  const std::vector<RecordEntry>& records() const noexcept { return header_.records; }
  std::span<const std::int16_t> levels() const noexcept { return levels_; }
  std::span<const RunEntry> runs() const noexcept { return runs_; }

  // Decodes record j into cells (grid().cellCount() cells).
  Status decodeRecord(std::size_t j, std::span<std::int16_t> cells) const;

 private:
  Bytes bytes_;
  std::string name_;
  ArchiveHeader header_;
  std::vector<std::int16_t> levels_;
  std::vector<RunEntry> runs_;
};

// The inclusive rectangle of grid cells kept by a run.
struct AreaWindow {
  int firstCol = 0;
  int lastCol = 0;
  int firstRow = 0;
  int lastRow = 0;
  int cols() const noexcept { return lastCol - firstCol + 1; }
  int rows() const noexcept { return lastRow - firstRow + 1; }
  bool operator==(const AreaWindow&) const = default;
};

// The area window of an area on a grid, clamped to the grid.
AreaWindow areaWindow(const GridDescription& grid, const AreaBounds& area) noexcept;
// Whether an area shares any cell with the grid (an area entirely off the grid would clamp to
// an edge column or row that it does not cover).
bool areaOverlapsGrid(const GridDescription& grid, const AreaBounds& area) noexcept;

}  // namespace ombrix::core
