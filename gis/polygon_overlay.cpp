#include "gis/polygon_overlay.h"

#include <algorithm>
#include <cmath>

#include "viewer/base_map.h"

namespace ombrix::gis {

namespace {

std::int32_t microdegrees(double degrees) noexcept {
  return static_cast<std::int32_t>(std::clamp(std::lrint(degrees * 1e6), -2'000'000'000L, 2'000'000'000L));
}

// Paints the square from -before to +after pixels around each line pixel.
void paintSquares(const std::vector<std::uint32_t>& pixels, int before, int after, std::uint32_t colour,
                  viewer::SurfaceView surface) {
  const auto width = static_cast<std::uint32_t>(surface.width);
  for (const std::uint32_t index : pixels) {
    const int x = static_cast<int>(index % width);
    const int y = static_cast<int>(index / width);
    for (int row = std::max(y - before, 0); row <= std::min(y + after, surface.height - 1); ++row) {
      std::uint32_t* out = surface.row(row);
      for (int column = std::max(x - before, 0); column <= std::min(x + after, surface.width - 1); ++column) {
        out[column] = colour;
      }
    }
  }
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
  paintSquares(pixels, 1, 2, kOutlineHaloColour, surface);
  paintSquares(pixels, 0, 1, kOutlineColour, surface);
}

}  // namespace ombrix::gis
