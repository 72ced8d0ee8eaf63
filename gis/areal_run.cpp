#include "gis/areal_run.h"

#include <algorithm>
#include <cmath>

#include "core/frame_slots.h"
#include "viewer/frame_loading.h"
#include "viewer/surface_projection.h"

namespace ombrix::gis {

namespace {

// The polygons' extent with a margin wider than any archive cell, in microdegrees.
core::AnalysisConditions windowAround(const core::AnalysisConditions& c, const std::vector<Shape>& shapes) {
  constexpr double kMarginDegrees = 0.5;
  const LonLatBounds b = outlineBounds(shapes);
  const auto micro = [](double degrees) {
    return static_cast<std::int32_t>(std::lrint(std::clamp(degrees * 1e6, -2e9, 2e9)));
  };
  core::AnalysisConditions windowed = c;
  windowed.areaWestLon = micro(b.west - kMarginDegrees);
  windowed.areaEastLon = micro(b.east + kMarginDegrees);
  windowed.areaSouthLat = micro(b.south - kMarginDegrees);
  windowed.areaNorthLat = micro(b.north + kMarginDegrees);
  return windowed;
}

}  // namespace

CellGrid cellGridOf(const core::AnalysisConditions& c) {
  return cellGridOf(c.header, c.geometry.cellWidth, c.geometry.cellHeight);
}

int framesPerHourOf(const core::AnalysisConditions& c) {
  const auto clock = core::slotClockOf(c.header, c.index);
  return clock ? clock->framesPerHour() : 1;
}

core::Status arealOverOpenFile(const core::AnalysisConditions& c, const std::vector<Shape>& shapes, int first,
                               int last, ArealComputation& computation, const core::PreprocessCallbacks& callbacks) {
  if (!c.fileOpen()) return {core::Problem::NoFileOpen};
  if (first < 0 || last < first || last >= c.openFrameCount()) {
    return {core::Problem::TimesNotInOrder};
  }
  const std::vector<core::TimeStamp> times = core::frameTimes(c.header, c.index);
  if (core::Status s = computation.prepare(shapes, cellGridOf(c), framesPerHourOf(c)); !s) return s;
  const std::size_t cellCount = c.header.cellCount();
  std::vector<std::int16_t> cells;
  for (int i = first; i <= last; ++i) {
    if (callbacks.yield) callbacks.yield();
    if (callbacks.progress) callbacks.progress(i - first + 1, last - first + 1);
    if (core::Status s = viewer::loadFrame(c, i, cells); !s) return s;
    // A file opened while events ran has another grid: the weights no longer fit it.
    if (cells.size() != cellCount) return {core::Problem::FrameNotInFile};
    computation.addFrame(times[static_cast<std::size_t>(i)], cells);
  }
  return {};
}

core::Status arealOverArchive(const core::AnalysisConditions& conditions, const std::vector<Shape>& shapes,
                              ArealComputation& computation, const core::PreprocessCallbacks& callbacks) {
  const core::AnalysisConditions windowed = windowAround(conditions, shapes);
  core::AreaFrameLayout layout;
  if (core::Status s = core::checkPeriodAndArea(windowed, layout); !s) return s;
  if (core::Status s = core::readAreaWindow(windowed, layout); !s) return s;
  const core::SlotClock clock =
      core::slotClockFrom(conditions.periodYear[0], conditions.periodMonth[0], conditions.periodDay[0]);
  const int scale = viewer::scaleFactorForDate(conditions.periodYear[0], conditions.periodMonth[0]);
  const viewer::ViewGeometry geometry = viewer::computeViewGeometry(layout.header, scale, 1, 1);
  const CellGrid grid = cellGridOf(layout.header, geometry.cellWidth, geometry.cellHeight);
  if (core::Status s = computation.prepare(shapes, grid, clock.framesPerHour()); !s) return s;
  // Slots without a record are not streamed: they are filled in as frames without data.
  std::int64_t nextSlot = 0;
  const auto fillTo = [&](std::int64_t slot) {
    for (; nextSlot < slot; ++nextSlot) computation.addEmptyFrame(clock.slotTime(static_cast<int>(nextSlot)));
  };
  const core::Status streamed = core::streamAreaFrames(
      windowed.archiveFiles, layout, callbacks,
      [&](std::int64_t slot, const core::TimeStamp& stamp, std::span<const std::int16_t> cells) {
        fillTo(slot);
        computation.addFrame(core::frameTime(stamp, clock.slotTime(static_cast<int>(slot))), cells);
        ++nextSlot;
        return core::Status();
      });
  if (!streamed) return streamed;
  fillTo(layout.frameCount());
  return {};
}

}  // namespace ombrix::gis
