#pragma once
// The cell layout of a file as its CSV exports place the cells: the centre of the first cell
// and the steps, in microdegrees, and the size of the grid.
#include <cstdint>

#include "core/rmd_file.h"

namespace ombrix::gis {

struct CellGrid {
  std::int32_t westLon = 0;
  std::int32_t northLat = 0;
  std::int32_t cellWidth = 0;
  std::int32_t cellHeight = 0;
  int columns = 0;
  int rows = 0;
};

// The cells of a file with this header, drawn cellWidth x cellHeight microdegrees apart.
inline CellGrid cellGridOf(const core::RmdHeader& header, std::int32_t cellWidth, std::int32_t cellHeight) noexcept {
  return {header.fileWestLon, header.fileNorthLat, cellWidth, cellHeight, header.gridCols, header.gridRows};
}

}  // namespace ombrix::gis
