#pragma once
// Pictures as PNG files, written by libpng: 8-bit RGB, each row filtered by its left neighbour
// ("Sub"), deflated at zlib's default level.
#include <cstdint>
#include <vector>

#include "viewer/rgb_surface.h"

namespace ombrix::tool {

// The bytes of the PNG file of image; empty when libpng refuses.
std::vector<std::uint8_t> encodePng(const viewer::RgbImage& image);

}  // namespace ombrix::tool
