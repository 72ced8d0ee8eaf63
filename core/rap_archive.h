#pragma once
// Reader and record decoder of the daily archive files (.RAP): record count, grid
// description, record directory, level and run tables, and the run-length record stream.
// Everything is decoded from bytes read in one block and checked against their size: a
// malformed file is reported with a message naming it, never trusted into a bad access.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "core/byte_io.h"
#include "core/problem.h"
#include "core/region_table.h"
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
  bool operator==(const RunEntry&) const = default;
};

// File layout: N at 80, the directory of 20-byte entries at 84, then (from the directory's end
// E = 84 + 20N) the grid description at E + 4, L at E + 42, the level table at E + 44, P and the
// run table after it. Each record starts with 4 skipped bytes before its stream.
inline constexpr std::size_t kArchiveRecordCountOffset = 80;
inline constexpr std::size_t kArchiveDirectoryOffset = 84;
inline constexpr std::size_t kArchiveDirectoryEntrySize = 20;
inline constexpr std::size_t kArchiveGridOffsetAfterDirectory = 4;
inline constexpr std::size_t kArchiveGridSize = 20;
inline constexpr std::size_t kArchiveIgnoredOffsetAfterDirectory = 40;
inline constexpr std::size_t kArchiveLevelCountOffsetAfterDirectory = 42;
inline constexpr std::size_t kArchiveRecordSkippedBytes = 4;
// Stream codes: run-table bytes below 0x80, single cells 0x80-0xBF, the escape 0xFE (any level
// code as a single cell), and runs 0xC0-0xFD / 0xFF of levels 0-61 / 63 followed by a length byte.
inline constexpr std::uint8_t kFirstSingleCode = 0x80;
inline constexpr std::uint8_t kFirstRunCode = 0xC0;
inline constexpr std::uint8_t kEscapeCode = 0xFE;
inline constexpr int kAddressableRuns = 128;   // run-table entries a single byte can name
inline constexpr int kDirectLevels = 64;       // level codes the single and run forms can name
inline constexpr int kMinRunLength = 2;
inline constexpr int kMaxRunLength = 257;

// What passes 1 and 2 of a preprocessing run need: read from the head of the file only.
struct ArchiveHeader {
  GridDescription grid;
  std::vector<RecordEntry> records;
};

// Decodes one compressed record stream (the bytes after the record's 4 skipped bytes, up to
// the end of the file) into cells.size() cells. Stops at the first code that names a level or
// run-table entry that does not exist (ArchiveLevelOutOfTable, ArchiveRunOutOfTable), a run
// past the last cell (ArchiveRunPastGrid), or the end of the stream (ArchiveStreamTruncated);
// cells are then partly overwritten.
Problem decodeRecordStream(std::span<const std::uint8_t> stream, std::span<const std::int16_t> levels,
                                std::span<const RunEntry> runs, std::span<std::int16_t> cells) noexcept;

// Receives row r of a record (its cells valid during the call only).
using RecordRowSink = std::function<void(std::size_t r, std::span<const std::int16_t> cells)>;

// Decodes a stream as decodeRecordStream does for rowCount rows of rowCells cells, but one row
// at a time into a buffer of one row, handing each complete row on in turn: the grid is never
// written whole. The same failures stop it, after the rows completed before them.
Problem decodeRecordRows(std::span<const std::uint8_t> stream, std::span<const std::int16_t> levels,
                         std::span<const RunEntry> runs, std::size_t rowCells, std::size_t rowCount,
                         const RecordRowSink& take);

// Reads N, the grid description and the record directory of the file at path, checking them
// against the file's size (a positive grid and spacing, every record inside the file with room
// for its cells). header is unchanged on failure; the status names the check that failed.
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

  // The compressed stream of record j < records().size(): the bytes after its 4 skipped bytes,
  // up to the end of the file.
  std::span<const std::uint8_t> recordStream(std::size_t j) const noexcept;

  // Decodes record j into cells (grid().cellCount() cells); a malformed stream is reported with
  // the file's name and what the decoder found.
  Status decodeRecord(std::size_t j, std::span<std::int16_t> cells) const;
  // Decodes record j row by row (decodeRecordRows), each of grid().nx cells, from the northernmost.
  Status decodeRecordRows(std::size_t j, const RecordRowSink& take) const;

 private:
  Status named(Problem problem) const;  // the decoder's failure, naming the file

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
// an edge column or row that it does not cover). An area whose west edge lies east of its east
// edge, or whose south edge lies north of its north edge, covers nothing.
bool areaOverlapsGrid(const GridDescription& grid, const AreaBounds& area) noexcept;

}  // namespace ombrix::core
