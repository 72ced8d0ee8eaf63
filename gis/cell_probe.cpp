#include "gis/cell_probe.h"

#include <cmath>

#include "export/csv_number_format.h"
#include "viewer/surface_projection.h"

namespace ombrix::gis {

std::optional<CellProbe> probeCell(const core::AnalysisConditions& c, double x, double y) {
  const viewer::ViewGeometry& g = c.geometry;
  const std::size_t cells = static_cast<std::size_t>(c.header.gridRows > 0 ? c.header.gridRows : 0) *
                            static_cast<std::size_t>(c.header.gridCols > 0 ? c.header.gridCols : 0);
  if (!(g.zoom > 0) || g.cellWidth <= 0 || g.cellHeight <= 0 || c.rainGrid.size() != cells || cells == 0) {
    return std::nullopt;
  }
  // Map units from the grid's west and north edges, as the renderer places the boxes.
  const double mapX = (x - static_cast<double>(g.viewCenterX)) / static_cast<double>(g.zoom) + g.mapHalfWidth;
  const double mapY = (y - static_cast<double>(g.viewCenterY)) / static_cast<double>(g.zoom) + g.mapHalfHeight;
  const double column = std::floor(mapX / g.cellWidth);
  const double row = std::floor(mapY / g.cellHeight);
  if (!(column >= 0 && column < c.header.gridCols && row >= 0 && row < c.header.gridRows)) return std::nullopt;
  CellProbe probe;
  probe.row = static_cast<int>(row);
  probe.column = static_cast<int>(column);
  probe.longitude = exports::cellLongitude(c.header.fileWestLon, c.geometry.cellWidth, probe.column);
  probe.latitude = exports::cellLatitude(c.header.fileNorthLat, c.geometry.cellHeight, probe.row);
  probe.value = c.rainGrid[static_cast<std::size_t>(probe.row) * static_cast<std::size_t>(c.header.gridCols) +
                           static_cast<std::size_t>(probe.column)];
  return probe;
}

}  // namespace ombrix::gis
