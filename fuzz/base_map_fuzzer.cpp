// Fuzz target: the input as jp.map, drawn by the overlay onto a small surface over a grid
// around Japan, and once more with a far zoom so that lines leave the surface.
#include <cstddef>
#include <cstdint>
#include <span>

#include "fuzz/fuzz_scratch.h"
#include "viewer/base_map.h"
#include "viewer/rgb_surface.h"
#include "viewer/view_geometry.h"

namespace {

ombrix::core::RmdHeader japanGrid() {
  ombrix::core::RmdHeader h;
  h.frameCount = 24;
  h.fileWestLon = 128'000'000;
  h.fileNorthLat = 46'000'000;
  h.gridRows = 800;
  h.gridCols = 1000;
  h.cellLonStep = 12'500;
  h.cellLatStep = 8'333;
  return h;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const ombrix::fuzz::ScratchFolder scratch;
  const auto path = scratch.write("jp.map", std::span(data, size));
  ombrix::viewer::RgbImage image(64, 48);
  const auto geometry = ombrix::viewer::computeViewGeometry(japanGrid(), 1, 64, 48);
  ombrix::viewer::BaseMapOverlay overlay;
  overlay.draw(path, geometry, image.view());
  auto close = geometry;
  close.zoom *= 4096;
  ombrix::viewer::drawBaseMap(path, close, image.view());
  return 0;
}
