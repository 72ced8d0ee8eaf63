#pragma once
// The cell under a point of the drawing surface: the inverse of the map's projection.
#include <cstdint>
#include <optional>

#include "core/analysis_conditions.h"

namespace ombrix::gis {

struct CellProbe {
  int row = 0;
  int column = 0;
  float longitude = 0;  // the cell's position as the CSV exports write it
  float latitude = 0;
  std::int16_t value = 0;  // rainGrid's value (stored unit)
};

// The cell whose box covers surface point (x, y) of the open file's map; nothing off the grid
// or when no map is held.
std::optional<CellProbe> probeCell(const core::AnalysisConditions& conditions, double x, double y);

}  // namespace ombrix::gis
