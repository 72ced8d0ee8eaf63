#pragma once
// A plain 32-bit RGB drawing surface (0xFFRRGGBB per pixel) that the renderers write into:
// a view of someone else's pixels, or an image that owns them.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace ombrix::viewer {

struct SurfaceView {
  std::uint32_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  int stride = 0;  // pixels from one row to the next, at least width
  std::uint32_t* row(int y) const noexcept { return pixels + static_cast<std::ptrdiff_t>(y) * stride; }
  bool empty() const noexcept { return pixels == nullptr || width <= 0 || height <= 0; }
  void fill(std::uint32_t colour) const noexcept;
};

class RgbImage {
 public:
  RgbImage() = default;
  RgbImage(int width, int height, std::uint32_t colour = 0xFFFFFFFFu);
  int width() const noexcept { return width_; }
  int height() const noexcept { return height_; }
  std::uint32_t pixel(int x, int y) const noexcept { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
  const std::vector<std::uint32_t>& pixels() const noexcept { return pixels_; }
  SurfaceView view() noexcept { return {pixels_.data(), width_, height_, width_}; }

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint32_t> pixels_;
};

}  // namespace ombrix::viewer
