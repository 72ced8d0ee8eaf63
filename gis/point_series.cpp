#include "gis/point_series.h"

#include <cmath>
#include <memory>

#include "core/frame_slots.h"
#include "core/rmd_dataset.h"
#include "gis/cell_weights.h"
#include "import/grib2_frames.h"

namespace ombrix::gis {

namespace {

// A box of a few archive cells around the point, in microdegrees.
core::AreaBounds boxAround(double lon, double lat) {
  constexpr double kHalfWidth = 0.1;
  const auto micro = [](double degrees) { return static_cast<std::int32_t>(std::lrint(degrees * 1e6)); };
  return {micro(lon - kHalfWidth), micro(lat + kHalfWidth), micro(lon + kHalfWidth), micro(lat - kHalfWidth)};
}

}  // namespace

core::Status pointSeries(const core::FrameRequest& request, double lon, double lat, PointSeries& series,
                         const core::OperationCallbacks& callbacks) {
  const std::unique_ptr<core::FrameSource> source = import::frameSourceFor(request);
  core::AreaFrameLayout layout;
  if (core::Status s = source->plan(boxAround(lon, lat), layout); !s) {
    return s.problem == core::Problem::AreaOutsideGrid ? core::Status(core::Problem::PointOutsideGrid) : s;
  }
  const core::PeriodDates& period = request.period;
  const auto cell = cellContaining(core::cellGridOf(layout.header, period.year[0], period.month[0]), lon, lat);
  if (!cell) return {core::Problem::PointOutsideGrid};
  const core::SlotClock clock = core::slotClockFrom(period.year[0], period.month[0], period.day[0]);
  layout.cellsRead = {static_cast<std::uint32_t>(*cell)};
  PointSeries result;
  result.cell = *cell;
  const core::Status streamed = core::streamEverySlot(
      *source, layout, clock, callbacks,
      [&](std::int64_t, const core::TimeStamp& time, std::span<const std::int16_t> cells) {
        result.times.push_back(time);
        result.values.push_back(cells.front());
        return core::Status();
      });
  if (!streamed) return streamed;
  series = std::move(result);
  return {};
}

}  // namespace ombrix::gis
