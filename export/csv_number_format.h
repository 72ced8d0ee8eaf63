#pragma once
// Number texts of the CSV exports, written with std::to_chars into the caller's buffer: no
// locale, no stream formatting. Longitudes and latitudes of a grid are computed once per export.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/rmd_dataset.h"

namespace ombrix::exports {

// Cell step in degrees: the step in microdegrees as a float divided by 1,000,000 in double precision.
double cellStepDegrees(std::int32_t microdegrees) noexcept;
// Longitude of column N in double precision: keido0 + N x dKeido, where keido0 is the west edge
// as a float divided by 1,000,000 and rounded to a float, and dKeido the cellStepDegrees of the
// cell width.
double cellLongitudeDegrees(std::int32_t westLon, std::int32_t cellWidth, int column) noexcept;
// Latitude of row M in double precision: ido0 - M x dIdo, built the same way from the north edge.
double cellLatitudeDegrees(std::int32_t northLat, std::int32_t cellHeight, int row) noexcept;
// The CSV texts Keido and Ido: the two positions above rounded to single precision.
float cellLongitude(std::int32_t westLon, std::int32_t cellWidth, int column) noexcept;
float cellLatitude(std::int32_t northLat, std::int32_t cellHeight, int row) noexcept;

// Decimal text of a whole number (minus sign for negatives, no leading zeros); returns the end.
char* writeInteger(char* out, std::int64_t value) noexcept;

// A comma followed by the decimal text of a 16-bit value, from a table of every value; returns
// the end. Writes 8 bytes at out, of which only the returned range is the text.
char* writeCommaValue(char* out, std::int16_t value) noexcept;
inline constexpr std::size_t kCommaValueSlack = 8;

// The five leading fields "ID,M,N,Keido,Ido" of every cell line of a grid, with the texts of
// each row and each column prepared once.
class CellFieldTexts {
 public:
  explicit CellFieldTexts(const core::CellGrid& grid);
  // Writes the fields of the cell in row M, column N; returns the end.
  char* write(char* out, int row, int column) const noexcept;
  int columns() const noexcept { return columns_; }
  int rows() const noexcept { return rows_; }
  // The longest text write() produces.
  std::size_t maxLength() const noexcept { return maxLength_; }

 private:
  struct Piece {
    std::uint32_t start;
    std::uint32_t length;
  };
  int columns_;
  int rows_;
  std::string texts_;
  std::vector<Piece> rowPieces_;     // ",M" then ",Ido" of each row: two pieces per row
  std::vector<Piece> columnPieces_;  // ",N,Keido" of each column
  std::size_t maxLength_ = 0;
};

}  // namespace ombrix::exports
