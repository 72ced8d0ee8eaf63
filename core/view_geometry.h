#pragma once
// The projection from map units (microdegrees from the grid's north-west corner) to the
// drawing surface, fixed when a file is opened. Its computations live in
// viewer/surface_projection.h; the cell steps are the open file's (core::CellGrid).
namespace ombrix::core {

struct ViewGeometry {
  float mapWidth = 0;
  float mapHeight = 0;
  float mapHalfWidth = 0;
  float mapHalfHeight = 0;
  float viewWidth = 0;
  float viewHeight = 0;
  float viewCenterX = 0;
  float viewCenterY = 0;
  float zoom = 0;
  float mapCenterLon = 0;
  float mapCenterLat = 0;
  bool operator==(const ViewGeometry&) const = default;
};

}  // namespace ombrix::core
