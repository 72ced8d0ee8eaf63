#pragma once
// The national 2.5 km grid and synthetic rain on it, shared by the viewer benchmarks.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/rap_archive.h"
#include "core/region_table.h"
#include "core/rmd_file.h"

namespace ombrix::bench {

inline constexpr core::GridDescription kNationalGrid{47'989'583, 118'015'625, 31'250, 20'833, 1024, 1536};
inline constexpr int kPerDay = 48;
inline constexpr int kKantoRegion = 2;  // row of 関東 in the region table: 241 x 145 cells of the 2.5 km grid

[[noreturn]] inline void fail(const std::string& message) {
  std::fprintf(stderr, "%s\n", message.c_str());
  std::exit(1);
}

// The header of a half-hourly file of the preset region's window on a grid (the national grid
// unless told).
inline core::RmdHeader regionHeader(int regionIndex, int frames, const core::GridDescription& grid = kNationalGrid) {
  const core::AreaWindow w = core::areaWindow(grid, *core::regionPreset(regionIndex));
  core::RmdHeader h;
  h.frameCount = static_cast<std::int16_t>(frames);
  h.fileWestLon = grid.lon0 + w.firstCol * grid.dlon;
  h.fileNorthLat = grid.lat0 - w.firstRow * grid.dlat;
  h.fileEastLon = grid.lon0 + w.lastCol * grid.dlon;
  h.fileSouthLat = grid.lat0 - w.lastRow * grid.dlat;
  h.gridRows = static_cast<std::int16_t>(w.rows());
  h.gridCols = static_cast<std::int16_t>(w.cols());
  h.cellLonStep = static_cast<std::int16_t>(grid.dlon);
  h.cellLatStep = static_cast<std::int16_t>(grid.dlat);
  return h;
}

// Rain rates in 0.1 mm/h: moving bands of rain over dry land, -1 far out at sea.
inline std::int16_t rainAt(int k, int row, int col, int cols) {
  if (col + row / 3 > cols + cols / 3) return -1;
  const int band = (row * 3 + col * 2 + k * 7) % 160;
  if (band > 40) return 0;
  return static_cast<std::int16_t>((band * 13 + row + k) % 900);
}

// Writes frames 0 .. frames - 1 of synthetic rain from 2005-07-01 00:00.
inline void writeRainFile(const std::filesystem::path& path, const core::RmdHeader& h) {
  core::RmdWriter writer;
  if (core::Status s = writer.create(path, h, kPerDay); !s) fail(message(s));
  std::vector<std::int16_t> cells(h.cellCount());
  for (int k = 0; k < h.frameCount; ++k) {
    const int j = k % kPerDay;
    writer.setEntry(k, {2005, 7, static_cast<std::uint8_t>(1 + k / kPerDay), static_cast<std::uint8_t>(j / 2),
                        static_cast<std::uint8_t>(j % 2 * 30)});
    for (int r = 0; r < h.gridRows; ++r) {
      for (int c = 0; c < h.gridCols; ++c) {
        cells[static_cast<std::size_t>(r) * h.gridCols + c] = rainAt(k, r, c, h.gridCols);
      }
    }
    if (core::Status s = writer.writeFrame(k, cells); !s) fail(message(s));
  }
  if (core::Status s = writer.commit(); !s) fail(message(s));
}

}  // namespace ombrix::bench
