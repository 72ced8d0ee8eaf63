#pragma once
// Reader of the agency's analysed one-hour rainfall fields in GRIB edition 2: one message on a
// regular latitude/longitude grid (grid template 0, scanning mode 0), the end of the
// accumulation from product template 50008 (or the standard statistical template 8, which
// places it at the same octets), and the agency's run-length packing (data representation
// template 200). Everything is decoded from a memory buffer, each section and field checked
// against the bytes present and every size checked before anything is allocated.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "core/problem.h"

namespace ombrix::import {

struct Grib2Time {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
  bool operator==(const Grib2Time&) const = default;
};

// Grid template 0 in microdegrees. The first and last points are the centres of the
// north-west and south-east cells; latitudes fall from row to row.
struct Grib2LatLonGrid {
  std::int32_t ni = 0;  // points along a parallel (columns)
  std::int32_t nj = 0;  // points along a meridian (rows)
  std::int32_t firstLat = 0;
  std::int32_t firstLon = 0;
  std::int32_t lastLat = 0;
  std::int32_t lastLon = 0;
  std::int32_t iIncrement = 0;  // as stored: rounded to the microdegree
  std::int32_t jIncrement = 0;
  bool operator==(const Grib2LatLonGrid&) const = default;
  std::size_t pointCount() const noexcept {
    return static_cast<std::size_t>(ni) * static_cast<std::size_t>(nj);
  }
  // Column and row spacing derived from the first and last points and the counts (the stored
  // increments are rounded, which drifts over a long grid); the stored increment when there is
  // one point only.
  double columnSpacing() const noexcept;
  double rowSpacing() const noexcept;
};

struct Grib2Field {
  Grib2Time referenceTime;
  Grib2Time accumulationEnd;
  Grib2LatLonGrid grid;
  int earthShape = 255;  // the grid definition's shape of the earth (code table 3.2; 255 missing)
  int bitsPerValue = 0;   // N
  int maxLevelUsed = 0;   // V: highest level code in this message
  int decimalScale = 0;   // E: representative values are stored times 10^E
  std::vector<std::uint16_t> representative;  // R(1..M), R(m) at index m - 1
  // Stored value of each level code in 0.1 mm, index 0 (missing) holding -1; one entry per
  // level 0..M.
  std::vector<std::int16_t> levelValues;
  std::vector<std::uint8_t> levels;  // ni x nj level codes in scanning order; 0 = missing (not with a window)
  // The bytes of the last file read into this field (all of them, or those a header-only read
  // takes), kept so that the next read reuses them.
  std::vector<std::uint8_t> fileBytes;
};

// Expands a stream of bitsPerValue-bit values (1..8, most significant bit first) into
// levels.size() level codes: a value <= maxLevel starts a run of one cell; each following
// value above maxLevel is a digit of the run length in base 2^N - 1 - maxLevel, least
// significant first, adding (digit - maxLevel - 1) times its weight to the length. Bits after
// the grid is full that cannot hold a whole byte are padding. Refused with
// Grib2RunDigitBeforeLevel, Grib2RunPastGrid or Grib2RunsTooFewCells.
core::Problem expandLevelRuns(std::span<const std::uint8_t> stream, int bitsPerValue, int maxLevel,
                                std::span<std::uint8_t> levels) noexcept;

// The cells of rows firstRow .. lastRow and columns firstCol .. lastCol of the message's grid.
struct Grib2Window {
  std::int32_t firstRow = 0;
  std::int32_t lastRow = 0;
  std::int32_t firstCol = 0;
  std::int32_t lastCol = 0;
  std::size_t cellCount() const noexcept {
    return static_cast<std::size_t>(lastRow - firstRow + 1) * static_cast<std::size_t>(lastCol - firstCol + 1);
  }
};

// Where a decode with a window puts the stored values (levelValues[level]) of its cells: values
// holds the window's cells, row-major, or with cells (window indices, row-major, in strictly
// ascending order) the listed cells only, in the list's order.
struct Grib2WindowTarget {
  Grib2Window window;
  std::span<const std::uint32_t> cells;  // empty: every cell of the window
  std::span<std::int16_t> values;        // window.cellCount() cells, or cells.size()
  std::size_t valueCount() const noexcept { return cells.empty() ? window.cellCount() : cells.size(); }
};

// expandLevelRuns, checking the whole stream as it does, but writing only the target's cells,
// each as the stored value of its level, for a grid columns wide and rows high; the target's
// window must lie in that grid and levelValues hold every level up to maxLevel.
core::Problem expandLevelValuesInWindow(std::span<const std::uint8_t> stream, int bitsPerValue, int maxLevel,
                                        std::span<const std::int16_t> levelValues, std::int32_t columns,
                                        std::int32_t rows, const Grib2WindowTarget& target) noexcept;

// What to decode: everything, or all but the run-length stream (levels stays empty), which
// finds times, grid and level values for a fraction of the cost.
enum class Grib2Content { Everything, HeaderOnly };

// Decodes one message from bytes: None, or one of the Grib2 problems that describe a message
// (Grib2NotRainfall ... Grib2RunsTooFewCells). On failure field is left in an unspecified state.
// With a target, its values receive the cells and levels stays empty; a window beyond the
// message's grid, values not of the target's size or a list of cells out of order or past the
// window is refused with Grib2UnsupportedGrid.
core::Problem decodeGrib2Field(std::span<const std::uint8_t> bytes, Grib2Field& field,
                               Grib2Content content = Grib2Content::Everything,
                               const Grib2WindowTarget* target = nullptr);

// Reads a file into field.fileBytes and decodes it; the status names path on failure. The whole
// file is read in one read; with Grib2Content::HeaderOnly only what the checks look at: the
// sections before the data section (one read of 4 KiB, more only when they are longer), and
// the bytes from the data section's end to four bytes past the message.
core::Status readGrib2File(const std::filesystem::path& path, Grib2Field& field,
                           Grib2Content content = Grib2Content::Everything,
                           const Grib2WindowTarget* target = nullptr);

}  // namespace ombrix::import
