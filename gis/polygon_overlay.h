#pragma once
// The outlines of polygons drawn over the map, projected like the base map: black lines two
// pixels wide with a one-pixel white halo, which stand out over every colour class.
#include <cstdint>
#include <vector>

#include "gis/cell_weights.h"
#include "viewer/rgb_surface.h"
#include "viewer/surface_projection.h"

namespace ombrix::gis {

inline constexpr std::uint32_t kOutlineColour = 0xFF000000u;
inline constexpr std::uint32_t kOutlineHaloColour = 0xFFFFFFFFu;

void drawPolygonOutlines(const std::vector<Shape>& shapes, const viewer::ViewGeometry& geometry,
                         viewer::SurfaceView surface);

}  // namespace ombrix::gis
