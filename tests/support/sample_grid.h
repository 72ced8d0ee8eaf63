#pragma once
// The header of a small regular grid, for the tests' RMD files and the fuzzers' seeds.
#include <cstdint>

#include "core/rmd_file.h"

namespace ombrix::test {

// frames frames of rows x cols cells 0.0125° wide and 0.008333° high, the first centred on
// (west, north) in millionths of a degree.
inline core::RmdHeader sampleGrid(int frames, int rows, int cols, std::int32_t west = 139'000'000,
                                  std::int32_t north = 36'000'000) {
  core::RmdHeader h;
  h.frameCount = static_cast<std::int16_t>(frames);
  h.fileWestLon = west;
  h.fileNorthLat = north;
  h.gridRows = static_cast<std::int16_t>(rows);
  h.gridCols = static_cast<std::int16_t>(cols);
  h.cellLonStep = 12'500;
  h.cellLatStep = 8'333;
  h.fileEastLon = h.fileWestLon + (cols - 1) * h.cellLonStep;
  h.fileSouthLat = h.fileNorthLat - (rows - 1) * h.cellLatStep;
  return h;
}

}  // namespace ombrix::test
