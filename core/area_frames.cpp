#include "core/area_frames.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <limits>

namespace ombrix::core {

namespace {

std::chrono::year_month_day periodDate(const PeriodDates& period, std::size_t i) {
  using namespace std::chrono;
  return year_month_day{year{period.year[i]}, month{static_cast<unsigned>(period.month[i])},
                        day{static_cast<unsigned>(period.day[i])}};
}

// Calendar days from the start to the end of the period, both included; 0 when a date does not exist.
std::int64_t periodDays(const PeriodDates& period) {
  using std::chrono::sys_days;
  const std::chrono::year_month_day start = periodDate(period, 0);
  const std::chrono::year_month_day end = periodDate(period, 1);
  if (!start.ok() || !end.ok()) return 0;
  return std::max<std::int64_t>((sys_days{end} - sys_days{start}).count() + 1, 0);
}

std::int16_t stepField(std::int32_t spacing, int divisor) noexcept {
  return static_cast<std::int16_t>(std::lrint(static_cast<double>(spacing) / divisor));
}

RmdHeader headerFor(const GridDescription& g, const AreaWindow& w, int divisor) noexcept {
  RmdHeader h;
  h.fileWestLon = static_cast<std::int32_t>(g.lon0 + static_cast<std::int64_t>(w.firstCol) * g.dlon);
  h.fileNorthLat = static_cast<std::int32_t>(g.lat0 - static_cast<std::int64_t>(w.firstRow) * g.dlat);
  h.fileEastLon = static_cast<std::int32_t>(g.lon0 + static_cast<std::int64_t>(w.lastCol) * g.dlon);
  h.fileSouthLat = static_cast<std::int32_t>(g.lat0 - static_cast<std::int64_t>(w.lastRow) * g.dlat);
  // The window is clamped to the grid, whose nx and ny are int16, so R and C always fit.
  h.gridRows = static_cast<std::int16_t>(w.rows());
  h.gridCols = static_cast<std::int16_t>(w.cols());
  h.cellLonStep = stepField(g.dlon, divisor);
  h.cellLatStep = stepField(g.dlat, divisor);
  h.noDataValue = -1;
  return h;
}

// The records of one archive file that become frames: at most one day's worth.
std::size_t recordsKept(std::size_t records, int perDay) noexcept {
  return std::min(records, static_cast<std::size_t>(perDay));
}

void copyWindow(std::span<const std::int16_t> grid, int nx, const AreaWindow& w, std::int16_t* frame) noexcept {
  const auto cols = static_cast<std::size_t>(w.cols());
  for (int r = w.firstRow; r <= w.lastRow; ++r) {
    const std::int16_t* row = grid.data() + static_cast<std::size_t>(r) * static_cast<std::size_t>(nx);
    std::memcpy(frame, row + w.firstCol, cols * sizeof(std::int16_t));
    frame += cols;
  }
}

// The grid index of each cell of a frame of the layout's cellsRead; one past the grid for a cell
// outside the window, which is then no data.
std::vector<std::size_t> gridCellsRead(const AreaFrameLayout& layout) {
  const auto cols = static_cast<std::size_t>(layout.window.cols());
  const std::size_t windowCells = layout.header.cellCount();
  std::vector<std::size_t> cells;
  cells.reserve(layout.cellsRead.size());
  for (const std::uint32_t c : layout.cellsRead) {
    const std::size_t row = static_cast<std::size_t>(layout.window.firstRow) + c / cols;
    const std::size_t col = static_cast<std::size_t>(layout.window.firstCol) + c % cols;
    cells.push_back(c < windowCells ? row * static_cast<std::size_t>(layout.grid.nx) + col : layout.grid.cellCount());
  }
  return cells;
}

void gatherCells(std::span<const std::int16_t> grid, std::span<const std::size_t> cells, std::int16_t* frame) noexcept {
  for (const std::size_t c : cells) *frame++ = c < grid.size() ? grid[c] : std::int16_t{-1};
}

}  // namespace

Status planPeriodAndArea(const PeriodDates& period, const AreaBounds& area, AreaFrameLayout& layout) {
  if (!periodDate(period, 0).ok() || !periodDate(period, 1).ok()) return {Problem::PeriodDayNotInCalendar};
  layout.days = periodDays(period);
  if (layout.days < 1) return {Problem::PeriodEndBeforeStart};
  if (area.westLon > area.eastLon || area.northLat < area.southLat) return {Problem::AreaInverted};
  layout.framesPerDay = framesPerDay(period.year[0], period.month[0]);
  layout.eraDivisor = eraDivisor(period.year[0], period.month[0]);
  return {};
}

Status checkCatalogue(const std::vector<std::string>& archiveFiles, const PeriodDates& period) {
  if (archiveFiles.empty()) return {Problem::PeriodNotSet};
  if (static_cast<std::int64_t>(archiveFiles.size()) > periodDays(period)) {
    return {Problem::PeriodDoesNotMatchCatalogue};
  }
  return {};
}

Status readReferenceGrid(const std::vector<std::string>& files, GridDescription& reference) {
  for (std::size_t f = 0; f < files.size(); ++f) {
    ArchiveHeader header;
    if (Status s = readArchiveHeader(files[f], header); !s) return s;
    if (f == 0) {
      reference = header.grid;
    } else if (!(header.grid == reference)) {
      return {Problem::ArchiveGridsDiffer};
    }
  }
  return {};
}

Status fitAreaWindow(const AreaBounds& area, AreaFrameLayout& layout) {
  if (!areaOverlapsGrid(layout.grid, area)) return {Problem::AreaOutsideGrid};
  layout.window = areaWindow(layout.grid, area);
  const double largestStep = static_cast<double>(std::max(layout.grid.dlon, layout.grid.dlat)) / layout.eraDivisor;
  if (std::lrint(largestStep) > std::numeric_limits<std::int16_t>::max()) {
    return {Problem::GridSpacingTooLarge};
  }
  layout.header = headerFor(layout.grid, layout.window, layout.eraDivisor);
  return {};
}

Status streamAreaFrames(const std::vector<std::string>& files, const AreaFrameLayout& layout,
                        const OperationCallbacks& callbacks, const AreaFrameSink& sink) {
  // Sized at the first record: only a file that holds records has been checked to be large
  // enough for its grid, so a file of none cannot make the run allocate what it claims.
  std::vector<std::int16_t> grid;
  std::vector<std::int16_t> frame;
  const std::vector<std::size_t> cellsRead = gridCellsRead(layout);
  const int fileCount = static_cast<int>(files.size());
  for (int f = 0; f < fileCount; ++f) {
    if (Status s = callbacks.step(f + 1, fileCount); !s) return s;
    ArchiveFile archive;
    if (Status s = archive.load(files[static_cast<std::size_t>(f)]); !s) return s;
    // The file may have changed since the grid check; the grid buffer is sized for the reference.
    if (!(archive.grid() == layout.grid)) return {Problem::ArchiveGridsDiffer};
    const std::size_t kept = recordsKept(archive.records().size(), layout.framesPerDay);
    if (kept > 0 && grid.empty()) {
      grid.resize(layout.grid.cellCount());
      frame.resize(layout.frameCellCount());
    }
    for (std::size_t j = 0; j < kept; ++j) {
      if (Status s = archive.decodeRecord(j, grid); !s) return s;
      if (cellsRead.empty()) {
        copyWindow(grid, layout.grid.nx, layout.window, frame.data());
      } else {
        gatherCells(grid, cellsRead, frame.data());
      }
      const std::int64_t k = static_cast<std::int64_t>(f) * layout.framesPerDay + static_cast<std::int64_t>(j);
      if (Status s = sink(k, archive.records()[j].stamp, frame); !s) return s;
    }
  }
  return {};
}

}  // namespace ombrix::core
