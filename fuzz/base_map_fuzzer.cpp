// Fuzz target: the input as the bytes of jp.map, rasterised onto a small surface over a grid
// around Japan, and once more with a far zoom so that lines leave the surface.
#include <cstddef>
#include <cstdint>

#include "viewer/base_map.h"
#include "viewer/surface_projection.h"

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
  static const auto geometry = ombrix::viewer::computeViewGeometry(japanGrid(), 1, 64, 48);
  const ombrix::viewer::BaseMap map(ombrix::core::Bytes(data, data + size));
  (void)ombrix::viewer::rasteriseBaseMap(map, geometry, 64, 48);
  auto close = geometry;
  close.zoom *= 4096;
  (void)ombrix::viewer::rasteriseBaseMap(map, close, 64, 48);
  return 0;
}
