#include "gis/areal_run.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "core/area_frames.h"
#include "core/frame_slots.h"
#include "import/grib2_frames.h"

namespace ombrix::gis {

namespace {

// The polygons' extent with a margin wider than any archive cell, in microdegrees.
core::AreaBounds windowAround(const std::vector<Shape>& shapes) {
  constexpr double kMarginDegrees = 0.5;
  const LonLatBounds b = outlineBounds(shapes);
  const auto micro = [](double degrees) {
    return static_cast<std::int32_t>(std::lrint(std::clamp(degrees * 1e6, -2e9, 2e9)));
  };
  return {micro(b.west - kMarginDegrees), micro(b.north + kMarginDegrees), micro(b.east + kMarginDegrees),
          micro(b.south - kMarginDegrees)};
}

}  // namespace

int framesPerHourOf(const core::RmdDataset& file) {
  const auto clock = core::slotClockOf(file.header(), file.index());
  return clock ? clock->framesPerHour() : 1;
}

core::Status arealOverOpenFile(core::RmdDataset& file, const std::vector<Shape>& shapes, int first, int last,
                               ArealComputation& computation, const core::OperationCallbacks& callbacks) {
  if (first < 0 || last < first || last >= file.frameCount()) return {core::Problem::TimesNotInOrder};
  const std::vector<core::TimeStamp> times = core::frameTimes(file.header(), file.index());
  if (core::Status s = computation.prepare(shapes, file.grid(), framesPerHourOf(file)); !s) return s;
  std::vector<std::int16_t> cells;
  for (int i = first; i <= last; ++i) {
    if (core::Status s = callbacks.step(i - first + 1, last - first + 1); !s) return s;
    if (core::Status s = file.readFrame(i, cells); !s) return s;
    computation.addFrame(times[static_cast<std::size_t>(i)], cells);
  }
  return {};
}

core::Status arealOverArchive(const core::FrameRequest& request, const std::vector<Shape>& shapes,
                              ArealComputation& computation, const core::OperationCallbacks& callbacks) {
  const std::unique_ptr<core::FrameSource> source = import::frameSourceFor(request);
  core::AreaFrameLayout layout;
  if (core::Status s = source->plan(windowAround(shapes), layout); !s) return s;
  const core::PeriodDates& period = request.period;
  const core::SlotClock clock = core::slotClockFrom(period.year[0], period.month[0], period.day[0]);
  const CellGrid grid = core::cellGridOf(layout.header, period.year[0], period.month[0]);
  if (core::Status s = computation.prepare(shapes, grid, clock.framesPerHour()); !s) return s;
  layout.cellsRead = computation.listCellsRead();
  return core::streamEverySlot(*source, layout, clock, callbacks,
                               [&](std::int64_t, const core::TimeStamp& time, std::span<const std::int16_t> cells) {
                                 computation.addFrame(time, cells);
                                 return core::Status();
                               });
}

}  // namespace ombrix::gis
