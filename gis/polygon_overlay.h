#pragma once
// The outlines of polygons drawn over the map as one-pixel lines, projected like the base map.
#include <cstdint>
#include <vector>

#include "gis/cell_weights.h"
#include "viewer/rgb_surface.h"
#include "viewer/surface_projection.h"

namespace ombrix::gis {

inline constexpr std::uint32_t kOutlineColour = 0xFFD00080u;

void drawPolygonOutlines(const std::vector<Shape>& shapes, const viewer::ViewGeometry& geometry,
                         viewer::SurfaceView surface);

}  // namespace ombrix::gis
