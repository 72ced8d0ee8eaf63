#pragma once
// The projection from map units (microdegrees from the grid's north-west corner) to the
// drawing surface, fixed when a file is opened.
#include <cstdint>

#include "core/analysis_conditions.h"
#include "core/rmd_file.h"

namespace ombrix::viewer {

struct ViewGeometry {
  std::int32_t cellWidth = 0;
  std::int32_t cellHeight = 0;
  float mapWidth = 0;
  float mapHeight = 0;
  float mapHalfWidth = 0;
  float mapHalfHeight = 0;
  float viewWidth = 0;
  float viewHeight = 0;
  float viewCenterX = 0;
  float viewCenterY = 0;
  float zoom = 0;
  float mapCenterLon = 0;
  float mapCenterLat = 0;
  bool operator==(const ViewGeometry&) const = default;
};

// Scale factor of the step fields: 2 for files whose first frame is before April 2001, else 1.
int scaleFactorForDate(int year, int month) noexcept;

// The geometry of a grid on a viewWidth x viewHeight surface: the map fills 95 % of the
// surface in its tighter direction, centred.
ViewGeometry computeViewGeometry(const core::RmdHeader& header, int scaleFactor, float viewWidth, float viewHeight);

ViewGeometry geometryOf(const core::AnalysisConditions& conditions);
void applyGeometry(const ViewGeometry& geometry, core::AnalysisConditions& conditions);

// A projected coordinate rounded down to a whole surface unit, kept far inside the int range
// (a non-finite value lands far outside any surface).
inline constexpr std::int64_t kFarOutside = std::int64_t{1} << 40;
std::int64_t floorToSurface(double value) noexcept;

// Surface x of map x (map units from the west edge) and y of map y (from the north edge).
std::int64_t surfaceX(const ViewGeometry& g, double mapX) noexcept;
std::int64_t surfaceY(const ViewGeometry& g, double mapY) noexcept;

}  // namespace ombrix::viewer
