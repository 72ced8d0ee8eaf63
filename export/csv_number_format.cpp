#include "export/csv_number_format.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>

#include "core/number_text.h"

namespace ombrix::exports {

namespace {

constexpr double kMicro = 1'000'000.0;

float edgeDegrees(std::int32_t microdegrees) noexcept {
  return static_cast<float>(static_cast<double>(static_cast<float>(microdegrees)) / kMicro);
}

struct CommaValue {
  char text[7];  // ",-32768" is the longest
  std::uint8_t length;
};
static_assert(sizeof(CommaValue) == kCommaValueSlack);

const std::array<CommaValue, 65536>& commaValueTable() {
  static const auto table = [] {
    std::array<CommaValue, 65536> entries{};
    for (int value = -32768; value <= 32767; ++value) {
      CommaValue& entry = entries[static_cast<std::uint16_t>(value)];
      entry.text[0] = ',';
      const auto end = std::to_chars(entry.text + 1, entry.text + sizeof entry.text, value).ptr;
      entry.length = static_cast<std::uint8_t>(end - entry.text);
    }
    return entries;
  }();
  return table;
}

}  // namespace

double cellStepDegrees(std::int32_t microdegrees) noexcept {
  return static_cast<double>(static_cast<float>(microdegrees)) / kMicro;
}

double cellLongitudeDegrees(std::int32_t westLon, std::int32_t cellWidth, int column) noexcept {
  return static_cast<double>(edgeDegrees(westLon)) + column * cellStepDegrees(cellWidth);
}

double cellLatitudeDegrees(std::int32_t northLat, std::int32_t cellHeight, int row) noexcept {
  return static_cast<double>(edgeDegrees(northLat)) - row * cellStepDegrees(cellHeight);
}

float cellLongitude(std::int32_t westLon, std::int32_t cellWidth, int column) noexcept {
  return static_cast<float>(cellLongitudeDegrees(westLon, cellWidth, column));
}

float cellLatitude(std::int32_t northLat, std::int32_t cellHeight, int row) noexcept {
  return static_cast<float>(cellLatitudeDegrees(northLat, cellHeight, row));
}

char* writeInteger(char* out, std::int64_t value) noexcept { return std::to_chars(out, out + 24, value).ptr; }

char* writeCommaValue(char* out, std::int16_t value) noexcept {
  const CommaValue& entry = commaValueTable()[static_cast<std::uint16_t>(value)];
  std::memcpy(out, &entry, sizeof entry);
  return out + entry.length;
}

CellFieldTexts::CellFieldTexts(const core::CellGrid& grid)
    : columns_(std::max(grid.columns, 0)), rows_(std::max(grid.rows, 0)) {
  char buffer[64];
  const auto append = [&](char* end) {
    const Piece piece{static_cast<std::uint32_t>(texts_.size()), static_cast<std::uint32_t>(end - buffer)};
    texts_.append(buffer, end);
    return piece;
  };
  std::size_t longestRow = 0;
  for (int m = 0; m < rows_; ++m) {
    buffer[0] = ',';
    const Piece index = append(writeInteger(buffer + 1, m));
    const Piece latitude = append(core::formatSingleTo(buffer + 1, cellLatitude(grid.northLat, grid.cellHeight, m)));
    rowPieces_.push_back(index);
    rowPieces_.push_back(latitude);
    longestRow = std::max<std::size_t>(longestRow, index.length + latitude.length);
  }
  std::size_t longestColumn = 0;
  for (int n = 0; n < columns_; ++n) {
    buffer[0] = ',';
    char* end = writeInteger(buffer + 1, n);
    *end++ = ',';
    const Piece piece = append(core::formatSingleTo(end, cellLongitude(grid.westLon, grid.cellWidth, n)));
    columnPieces_.push_back(piece);
    longestColumn = std::max<std::size_t>(longestColumn, piece.length);
  }
  maxLength_ = 20 + longestRow + longestColumn;
}

char* CellFieldTexts::write(char* out, int row, int column) const noexcept {
  out = writeInteger(out, static_cast<std::int64_t>(row) * columns_ + column);
  const Piece index = rowPieces_[2 * static_cast<std::size_t>(row)];
  const Piece latitude = rowPieces_[2 * static_cast<std::size_t>(row) + 1];
  const Piece longitude = columnPieces_[static_cast<std::size_t>(column)];
  std::memcpy(out, texts_.data() + index.start, index.length);
  out += index.length;
  std::memcpy(out, texts_.data() + longitude.start, longitude.length);
  out += longitude.length;
  std::memcpy(out, texts_.data() + latitude.start, latitude.length);
  return out + latitude.length;
}

}  // namespace ombrix::exports
