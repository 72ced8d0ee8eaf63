#pragma once
// The rain maps: rainGrid drawn as one box per cell in row-major order, both corners
// included, later boxes over earlier ones, on a surface cleared to white. The picture is
// built pixel by pixel from the last cell covering each pixel column and pixel row, which
// gives exactly the box-by-box picture at a cost independent of the grid size.
#include <cstdint>
#include <span>

#include "core/rmd_dataset.h"
#include "core/view_geometry.h"
#include "viewer/intensity_classes.h"
#include "viewer/rgb_surface.h"
#include "viewer/surface_projection.h"

namespace ombrix::viewer {

// What a map drawing reads: the grid, its size and no-data marker, the projection and the cell
// steps in map units.
struct MapLayer {
  std::span<const std::int16_t> grid;  // row-major, cols x rows
  int rows = 0;
  int cols = 0;
  std::int16_t noDataValue = -1;
  ViewGeometry geometry;
  std::int32_t cellWidth = 0;
  std::int32_t cellHeight = 0;
  // The colour (argb) of cells without data (negative or noDataValue) where they are to be told
  // from dry cells; 0: drawn as cells without class.
  std::uint32_t noDataColour = 0;
};

// The layer of cells over the grid of file, drawn with geometry.
MapLayer mapLayerOf(std::span<const std::int16_t> cells, const core::RmdDataset& file, const ViewGeometry& geometry);

// Rain-rate classes; cells without class are painted white.
void drawIntensityMap(const MapLayer& layer, SurfaceView surface);
// Accumulation classes; cells without class are not painted.
void drawAccumulatedMap(const MapLayer& layer, SurfaceView surface);
// A map of depths drawn like the accumulation map with the classes of scale.
void drawDepthMap(const MapLayer& layer, SurfaceView surface, ClassScale scale);
// The map in the classes of scale: a rain-rate map for Intensity, else a map of depths.
void drawMapIn(const MapLayer& layer, SurfaceView surface, ClassScale scale);

// The surface extent of cell column c and cell row r of a layer: the box's x corners are
// cellLeftX(c) and cellLeftX(c + 1), its y corners cellTopY(r) and cellTopY(r + 1).
std::int64_t cellLeftX(const MapLayer& layer, int c) noexcept;
std::int64_t cellTopY(const MapLayer& layer, int r) noexcept;

}  // namespace ombrix::viewer
