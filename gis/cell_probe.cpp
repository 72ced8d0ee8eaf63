#include "gis/cell_probe.h"

#include <cmath>

#include "export/csv_number_format.h"

namespace ombrix::gis {

std::optional<CellProbe> probeCell(const core::ShownMap& map, const core::ViewGeometry& g, double x, double y) {
  const core::CellGrid& grid = map.grid;
  const std::size_t cells = static_cast<std::size_t>(grid.rows > 0 ? grid.rows : 0) *
                            static_cast<std::size_t>(grid.columns > 0 ? grid.columns : 0);
  if (!(g.zoom > 0) || grid.cellWidth <= 0 || grid.cellHeight <= 0 || map.cells.size() != cells || cells == 0) {
    return std::nullopt;
  }
  // Map units from the grid's west and north edges, as the renderer places the boxes.
  const double mapX = (x - static_cast<double>(g.viewCenterX)) / static_cast<double>(g.zoom) + g.mapHalfWidth;
  const double mapY = (y - static_cast<double>(g.viewCenterY)) / static_cast<double>(g.zoom) + g.mapHalfHeight;
  const double column = std::floor(mapX / grid.cellWidth);
  const double row = std::floor(mapY / grid.cellHeight);
  if (!(column >= 0 && column < grid.columns && row >= 0 && row < grid.rows)) return std::nullopt;
  CellProbe probe;
  probe.row = static_cast<int>(row);
  probe.column = static_cast<int>(column);
  probe.longitude = exports::cellLongitude(grid.westLon, grid.cellWidth, probe.column);
  probe.latitude = exports::cellLatitude(grid.northLat, grid.cellHeight, probe.row);
  probe.value = map.cells[static_cast<std::size_t>(probe.row) * static_cast<std::size_t>(grid.columns) +
                          static_cast<std::size_t>(probe.column)];
  return probe;
}

}  // namespace ombrix::gis
