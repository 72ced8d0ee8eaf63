#include "viewer/surface_projection.h"

#include <algorithm>
#include <cmath>


namespace ombrix::viewer {

ViewGeometry computeViewGeometry(const core::RmdHeader& header, int scaleFactor, float viewWidth, float viewHeight) {
  ViewGeometry g;
  const std::int32_t cellWidth = scaleFactor * header.cellLonStep;
  const std::int32_t cellHeight = scaleFactor * header.cellLatStep;
  g.mapWidth = static_cast<float>(static_cast<double>(header.gridCols) * cellWidth);
  g.mapHeight = static_cast<float>(static_cast<double>(header.gridRows) * cellHeight);
  g.mapHalfWidth = g.mapWidth / 2;
  g.mapHalfHeight = g.mapHeight / 2;
  g.viewWidth = viewWidth;
  g.viewHeight = viewHeight;
  g.viewCenterX = viewWidth / 2;
  g.viewCenterY = viewHeight / 2;
  const double byWidth = 0.95 * static_cast<double>(viewWidth) / static_cast<double>(g.mapWidth);
  const double byHeight = 0.95 * static_cast<double>(viewHeight) / static_cast<double>(g.mapHeight);
  g.zoom = static_cast<float>(std::min(byWidth, byHeight));
  g.mapCenterLon = static_cast<float>(static_cast<double>(g.mapHalfWidth) + header.fileWestLon);
  g.mapCenterLat = static_cast<float>(header.fileNorthLat - static_cast<double>(g.mapHalfHeight));
  return g;
}

std::int64_t floorToSurface(double value) noexcept {
  if (!(value > -static_cast<double>(kFarOutside))) return -kFarOutside;
  if (!(value < static_cast<double>(kFarOutside))) return kFarOutside;
  return static_cast<std::int64_t>(std::floor(value));
}

std::int64_t surfaceX(const ViewGeometry& g, double mapX) noexcept {
  return floorToSurface((mapX - static_cast<double>(g.mapHalfWidth)) * static_cast<double>(g.zoom) +
                        static_cast<double>(g.viewCenterX));
}

std::int64_t surfaceY(const ViewGeometry& g, double mapY) noexcept {
  return floorToSurface((mapY - static_cast<double>(g.mapHalfHeight)) * static_cast<double>(g.zoom) +
                        static_cast<double>(g.viewCenterY));
}

}  // namespace ombrix::viewer
