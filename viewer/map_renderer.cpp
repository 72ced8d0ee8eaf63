#include "viewer/map_renderer.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include "viewer/intensity_classes.h"

namespace ombrix::viewer {

namespace {

constexpr std::uint32_t kUndrawn = 0;  // never a map colour: those are opaque
constexpr std::uint32_t kBackground = kWhite.argb();

// For each pixel along one axis of the surface, the first and the last cell (in drawing order)
// whose box covers it, or -1. Cell k spans from edge(k) to edge(k + 1), both included.
struct Coverage {
  std::vector<int> first;
  std::vector<int> last;
  int from = 0;  // covered pixels are from .. to - 1 (the edges are monotonic, so they are contiguous)
  int to = 0;
};

template <typename Edge>
Coverage coverage(int cells, int pixels, Edge edge) {
  Coverage cover{std::vector<int>(static_cast<std::size_t>(pixels), -1),
                 std::vector<int>(static_cast<std::size_t>(pixels), -1), pixels, 0};
  std::int64_t previous = edge(0);
  for (int k = 0; k < cells; ++k) {
    const std::int64_t next = edge(k + 1);
    const std::int64_t lo = std::max<std::int64_t>(std::min(previous, next), 0);
    const std::int64_t hi = std::min<std::int64_t>(std::max(previous, next), pixels - 1);
    for (std::int64_t p = lo; p <= hi; ++p) {
      const auto i = static_cast<std::size_t>(p);
      if (cover.first[i] < 0) cover.first[i] = k;
      cover.last[i] = k;
    }
    if (lo <= hi) {
      cover.from = std::min(cover.from, static_cast<int>(lo));
      cover.to = std::max(cover.to, static_cast<int>(hi) + 1);
    }
    previous = next;
  }
  return cover;
}

bool usable(const MapLayer& layer, SurfaceView surface) {
  return !surface.empty() && layer.rows > 0 && layer.cols > 0 &&
         layer.grid.size() >= static_cast<std::size_t>(layer.rows) * static_cast<std::size_t>(layer.cols);
}

Coverage columnCoverage(const MapLayer& layer, int width) {
  return coverage(layer.cols, width, [&](int c) { return cellLeftX(layer, c); });
}

Coverage rowCoverage(const MapLayer& layer, int height) {
  return coverage(layer.rows, height, [&](int r) { return cellTopY(layer, r); });
}

std::uint32_t colourOf(const std::uint32_t* table, std::int16_t value) {
  return table[static_cast<std::uint16_t>(value)];
}

// The colour of the last drawn cell covering a pixel: the highest covering row first, within
// it the rightmost covering column; the background when none of them is drawn.
std::uint32_t lastDrawn(const MapLayer& layer, const std::uint32_t* table, int rowFirst, int rowLast,
                        int colFirst, int colLast) {
  for (int r = rowLast; r >= rowFirst; --r) {
    const std::int16_t* row = layer.grid.data() + static_cast<std::size_t>(r) * static_cast<std::size_t>(layer.cols);
    for (int c = colLast; c >= colFirst; --c) {
      const std::uint32_t colour = colourOf(table, row[c]);
      if (colour != kUndrawn) return colour;
    }
  }
  return kBackground;
}

// Clears the pixels that no cell covers; every covered pixel is painted by the caller.
void clearOutside(SurfaceView surface, const Coverage& columns, const Coverage& rows) {
  for (int y = 0; y < surface.height; ++y) {
    std::uint32_t* out = surface.row(y);
    if (y < rows.from || y >= rows.to) {
      std::fill_n(out, surface.width, kBackground);
      continue;
    }
    std::fill(out, out + columns.from, kBackground);
    std::fill(out + columns.to, out + surface.width, kBackground);
  }
}

// What both maps need before the pixel loop: the colour of every value, and which cells cover
// which pixel columns and rows. The pixels no cell covers are cleared here; nothing when no
// pixel is covered (the surface is then cleared completely).
struct Plan {
  std::unique_ptr<std::uint32_t[]> table;
  Coverage columns;
  Coverage rows;
};

std::optional<Plan> planMap(const MapLayer& layer, SurfaceView surface, ClassScale scale, std::uint32_t noClass) {
  if (!usable(layer, surface)) {
    surface.fill(kBackground);
    return std::nullopt;
  }
  Plan plan{std::make_unique_for_overwrite<std::uint32_t[]>(kValueCount), columnCoverage(layer, surface.width),
            rowCoverage(layer, surface.height)};
  if (plan.columns.from >= plan.columns.to || plan.rows.from >= plan.rows.to) {
    surface.fill(kBackground);
    return std::nullopt;
  }
  fillClassColours(scale, layer.noDataValue, noClass, plan.table.get());
  if (layer.noDataColour != 0) {
    std::fill(plan.table.get() + 32768, plan.table.get() + kValueCount, layer.noDataColour);
    plan.table[static_cast<std::uint16_t>(layer.noDataValue)] = layer.noDataColour;
  }
  clearOutside(surface, plan.columns, plan.rows);
  return plan;
}

}  // namespace

MapLayer mapLayerOf(std::span<const std::int16_t> cells, const core::RmdDataset& file, const ViewGeometry& geometry) {
  const core::CellGrid& grid = file.grid();
  return {cells, grid.rows, grid.columns, file.header().noDataValue, geometry, grid.cellWidth, grid.cellHeight};
}

std::int64_t cellLeftX(const MapLayer& layer, int c) noexcept {
  return surfaceX(layer.geometry, static_cast<double>(c) * static_cast<double>(layer.cellWidth));
}

std::int64_t cellTopY(const MapLayer& layer, int r) noexcept {
  return surfaceY(layer.geometry, static_cast<double>(r) * static_cast<double>(layer.cellHeight));
}

void drawIntensityMap(const MapLayer& layer, SurfaceView surface) {
  const std::optional<Plan> plan = planMap(layer, surface, ClassScale::Intensity, kBackground);
  if (!plan) return;
  const Coverage& columns = plan->columns;
  const Coverage& rows = plan->rows;
  const std::size_t span = static_cast<std::size_t>(columns.to - columns.from);
  int previousRow = -1;
  for (int y = rows.from; y < rows.to; ++y) {
    const int r = rows.last[static_cast<std::size_t>(y)];
    std::uint32_t* out = surface.row(y);
    if (r == previousRow) {
      std::memcpy(out + columns.from, surface.row(y - 1) + columns.from, span * sizeof(std::uint32_t));
      continue;
    }
    const std::int16_t* cells = layer.grid.data() + static_cast<std::size_t>(r) * static_cast<std::size_t>(layer.cols);
    for (int x = columns.from; x < columns.to; ++x) {
      out[x] = colourOf(plan->table.get(), cells[columns.last[static_cast<std::size_t>(x)]]);
    }
    previousRow = r;
  }
}

void drawAccumulatedMap(const MapLayer& layer, SurfaceView surface) {
  drawDepthMap(layer, surface, ClassScale::Accumulation);
}

void drawMapIn(const MapLayer& layer, SurfaceView surface, ClassScale scale) {
  if (scale == ClassScale::Intensity) {
    drawIntensityMap(layer, surface);
  } else {
    drawDepthMap(layer, surface, scale);
  }
}

void drawDepthMap(const MapLayer& layer, SurfaceView surface, ClassScale scale) {
  const std::optional<Plan> plan = planMap(layer, surface, scale, kUndrawn);
  if (!plan) return;
  const Coverage& columns = plan->columns;
  const Coverage& rows = plan->rows;
  for (int y = rows.from; y < rows.to; ++y) {
    const auto yi = static_cast<std::size_t>(y);
    const int rowFirst = rows.first[yi];
    const int rowLast = rows.last[yi];
    const std::int16_t* cells =
        layer.grid.data() + static_cast<std::size_t>(rowLast) * static_cast<std::size_t>(layer.cols);
    std::uint32_t* out = surface.row(y);
    for (int x = columns.from; x < columns.to; ++x) {
      const auto xi = static_cast<std::size_t>(x);
      const std::uint32_t colour = colourOf(plan->table.get(), cells[columns.last[xi]]);
      out[x] = colour != kUndrawn
                   ? colour
                   : lastDrawn(layer, plan->table.get(), rowFirst, rowLast, columns.first[xi], columns.last[xi]);
    }
  }
}

}  // namespace ombrix::viewer
