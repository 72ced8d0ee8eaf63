#pragma once
// The weights of a polygon on the cells of a grid: the exact area of the polygon inside each
// cell rectangle, in square degrees, times the cosine of the latitude of the cell's centre.
// A cell is the rectangle centred on the position the CSV exports write for it (in double
// precision, so that neighbouring cells meet exactly), as wide and high as their steps.
// Computed once per polygon, as runs of consecutive cells of a row.
#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/problem.h"
#include "core/rmd_dataset.h"

namespace ombrix::gis {

using core::CellGrid;

struct LonLat {
  double lon = 0;
  double lat = 0;
};

// A ring is closed implicitly (the last point joins the first). The first ring of a polygon
// is its outline, the others its holes; a shape is one polygon or several.
using Ring = std::vector<LonLat>;
struct Polygon {
  std::vector<Ring> rings;
};
struct Shape {
  std::string name;
  std::vector<Polygon> parts;
};

// Centre and half extent of cell (row, column) of the grid extended beyond its edges.
struct CellRectangle {
  double west, east, south, north;
  double centreLat;
};
CellRectangle cellRectangle(const CellGrid& grid, int row, int column) noexcept;

// The cell whose rectangle holds the point, as a row-major index; nothing outside the grid.
std::optional<std::size_t> cellContaining(const CellGrid& grid, double lon, double lat) noexcept;

// Area of the polygon parts inside the rectangle, in square degrees (holes taken out).
double areaInside(const Shape& shape, const CellRectangle& cell);

// The extent of the outlines (holes lie inside them); empty when there is no point.
struct LonLatBounds {
  double west = std::numeric_limits<double>::infinity();
  double east = -std::numeric_limits<double>::infinity();
  double south = std::numeric_limits<double>::infinity();
  double north = -std::numeric_limits<double>::infinity();
  void add(const Ring& ring) noexcept;
  bool empty() const noexcept { return !(west <= east && south <= north); }
};
LonLatBounds outlineBounds(std::span<const Shape> shapes) noexcept;

// Refused with the shape's name: a coordinate that is not a finite number
// (PolygonCoordinateNotFinite), a ring without area, such as one whose points lie on a line
// (PolygonRingWithoutArea).
core::Status checkShape(const Shape& shape);

struct ShapeWeights {
  // Runs of consecutive cells of one row: cells firstCell .. firstCell + count - 1 of the
  // grid (row-major) with weights weights[weightStart ..].
  struct Run {
    std::uint32_t firstCell;
    std::uint32_t count;
    std::uint32_t weightStart;
  };
  std::vector<Run> runs;
  std::vector<float> weights;
  // The sum of the weights on every cell of the grid extended beyond its edges.
  double wholeWeight = 0;
  bool empty() const noexcept { return runs.empty(); }
};

// The work is bounded by the grid, whatever the shape's extent: cells are visited in the grid's
// columns and in the rows of the grid and of a margin as deep as the grid on either side. The
// shape's parts west and east of the grid count with their row's cosine, its parts beyond the
// margin as one band on each side with the cosine of the band's middle. Nothing for a shape
// with a coordinate that is not finite.
ShapeWeights shapeWeights(const Shape& shape, const CellGrid& grid);

}  // namespace ombrix::gis
