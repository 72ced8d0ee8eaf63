#pragma once
// The cell under a point of the drawing surface: the inverse of the map's projection.
#include <cstdint>
#include <optional>

#include "core/shown_map.h"
#include "core/view_geometry.h"

namespace ombrix::gis {

struct CellProbe {
  int row = 0;
  int column = 0;
  float longitude = 0;  // the cell's position as the CSV exports write it
  float latitude = 0;
  std::int16_t value = 0;  // the map's value (stored unit)
};

// The cell whose box covers surface point (x, y) of the map drawn with geometry; nothing off the
// grid or when the map holds no cells of its grid.
std::optional<CellProbe> probeCell(const core::ShownMap& map, const core::ViewGeometry& geometry, double x, double y);

}  // namespace ombrix::gis
