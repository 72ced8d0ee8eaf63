#include "gis/areal_run.h"

#include <algorithm>
#include <cmath>

#include "core/frame_slots.h"

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
  windowed.area.westLon = micro(b.west - kMarginDegrees);
  windowed.area.eastLon = micro(b.east + kMarginDegrees);
  windowed.area.southLat = micro(b.south - kMarginDegrees);
  windowed.area.northLat = micro(b.north + kMarginDegrees);
  return windowed;
}

}  // namespace

int framesPerHourOf(const core::RmdDataset& file) {
  const auto clock = core::slotClockOf(file.header(), file.index());
  return clock ? clock->framesPerHour() : 1;
}

core::Status arealOverOpenFile(core::RmdDataset& file, const std::vector<Shape>& shapes, int first, int last,
                               ArealComputation& computation, const core::PreprocessCallbacks& callbacks) {
  if (first < 0 || last < first || last >= file.frameCount()) return {core::Problem::TimesNotInOrder};
  const std::vector<core::TimeStamp> times = core::frameTimes(file.header(), file.index());
  if (core::Status s = computation.prepare(shapes, file.grid(), framesPerHourOf(file)); !s) return s;
  std::vector<std::int16_t> cells;
  for (int i = first; i <= last; ++i) {
    if (callbacks.yield) callbacks.yield();
    if (callbacks.progress) callbacks.progress(i - first + 1, last - first + 1);
    if (core::Status s = file.readFrame(i, cells); !s) return s;
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
  const CellGrid grid = core::cellGridOf(layout.header, conditions.periodYear[0], conditions.periodMonth[0]);
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
