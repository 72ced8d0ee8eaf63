#include "viewer/rgb_surface.h"

#include <algorithm>

namespace ombrix::viewer {

void SurfaceView::fill(std::uint32_t colour) const noexcept {
  if (empty()) return;
  for (int y = 0; y < height; ++y) std::fill_n(row(y), width, colour);
}

RgbImage::RgbImage(int width, int height, std::uint32_t colour)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), colour) {}

}  // namespace ombrix::viewer
