#pragma once
// Pictures as PNG files, without a picture library: 8-bit RGB, each row filtered by its left
// neighbour ("Sub"), the rows deflated by zlib into one IDAT chunk.
#include <cstdint>
#include <vector>

#include "viewer/rgb_surface.h"

namespace ombrix::tool {

// The bytes of the PNG file of image; empty when zlib refuses.
std::vector<std::uint8_t> encodePng(const viewer::RgbImage& image);

}  // namespace ombrix::tool
