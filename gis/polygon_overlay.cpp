#include "gis/polygon_overlay.h"

#include <algorithm>
#include <cmath>

#include "viewer/base_map.h"

namespace ombrix::gis {

namespace {

std::int32_t microdegrees(double degrees) noexcept {
  return static_cast<std::int32_t>(std::clamp(std::lrint(degrees * 1e6), -2'000'000'000L, 2'000'000'000L));
}

}  // namespace

void drawPolygonOutlines(const std::vector<Shape>& shapes, const viewer::ViewGeometry& geometry,
                         viewer::SurfaceView surface) {
  if (surface.empty()) return;
  std::vector<std::uint32_t> pixels;
  for (const Shape& shape : shapes) {
    for (const Polygon& polygon : shape.parts) {
      for (const Ring& ring : polygon.rings) {
        for (std::size_t i = 0; i < ring.size(); ++i) {
          const LonLat& a = ring[i];
          const LonLat& b = ring[(i + 1) % ring.size()];
          viewer::appendLinePixels(viewer::pointX(geometry, microdegrees(a.lon)),
                                   viewer::pointY(geometry, microdegrees(a.lat)),
                                   viewer::pointX(geometry, microdegrees(b.lon)),
                                   viewer::pointY(geometry, microdegrees(b.lat)), surface.width, surface.height, pixels);
        }
      }
    }
  }
  const auto width = static_cast<std::uint32_t>(surface.width);
  for (std::uint32_t index : pixels) surface.row(static_cast<int>(index / width))[index % width] = kOutlineColour;
}

}  // namespace ombrix::gis
