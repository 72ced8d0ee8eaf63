#pragma once
// Computing the projection from map units to the drawing surface (core/view_geometry.h), and
// projecting with it.
#include <cstdint>

#include "core/rmd_file.h"
#include "core/view_geometry.h"

namespace ombrix::viewer {

using core::ViewGeometry;

// The geometry of a grid on a viewWidth x viewHeight surface: the map fills 95 % of the
// surface in its tighter direction, centred. The cell steps are the header's times scaleFactor
// (core::cellStepScale).
ViewGeometry computeViewGeometry(const core::RmdHeader& header, int scaleFactor, float viewWidth, float viewHeight);

// A projected coordinate rounded down to a whole surface unit, kept far inside the int range
// (a non-finite value lands far outside any surface).
inline constexpr std::int64_t kFarOutside = std::int64_t{1} << 40;
std::int64_t floorToSurface(double value) noexcept;

// Surface x of map x (map units from the west edge) and y of map y (from the north edge).
std::int64_t surfaceX(const ViewGeometry& g, double mapX) noexcept;
std::int64_t surfaceY(const ViewGeometry& g, double mapY) noexcept;

}  // namespace ombrix::viewer
