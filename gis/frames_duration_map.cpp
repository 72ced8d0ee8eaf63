#include "gis/frames_duration_map.h"

#include <memory>

#include "gis/duration_maxima.h"
#include "gis/duration_window.h"
#include "import/grib2_frames.h"

namespace ombrix::gis {

core::Status durationMaximumMapOf(const core::FrameRequest& request, int hours, MaximaPeriods by,
                                  const DurationMapSink& sink, const core::OperationCallbacks& callbacks) {
  if (!durationHoursValid(hours)) return {core::Problem::DurationHoursInvalid};
  const std::unique_ptr<core::FrameSource> source = import::frameSourceFor(request);
  core::AreaFrameLayout layout;
  if (core::Status s = source->plan(request.area, layout); !s) return s;
  const core::PeriodDates& period = request.period;
  const core::SlotClock clock = core::slotClockFrom(period.year[0], period.month[0], period.day[0]);
  if (!durationFits(layout.frameCount(), clock.framesPerHour(), hours)) {
    return {core::Problem::DurationLongerThanRange, {}, {.hours = hours}};
  }
  CellDurationMaxima maxima(layout.header.cellCount(), clock.framesPerHour(), hours);
  // The frames of the windows running, each kept until it leaves them.
  std::vector<std::vector<std::int16_t>> kept(static_cast<std::size_t>(maxima.windowFrames()));
  const core::CellGrid grid = core::cellGridOf(layout.header, period.year[0], period.month[0]);
  std::string current;  // the period of the frames first .. last
  core::TimeStamp first;
  core::TimeStamp last;
  const auto takeMap = [&] {
    DurationMap map{maxima.takeDepths(), durationLabel(first, last, hours), current};
    return sink(map, grid);
  };
  const core::Status streamed = core::streamEverySlot(
      *source, layout, clock, callbacks,
      [&](std::int64_t k, const core::TimeStamp& time, std::span<const std::int16_t> cells) {
        if (std::string name = periodName(time, by); k == 0 || name != current) {
          if (core::Status s = k > 0 ? takeMap() : core::Status(); !s) return s;
          current = std::move(name);
          first = time;
        }
        std::vector<std::int16_t>& slot = kept[static_cast<std::size_t>(k % maxima.windowFrames())];
        maxima.add(cells, slot);
        slot.assign(cells.begin(), cells.end());
        last = time;
        return core::Status();
      });
  return streamed ? takeMap() : streamed;
}

}  // namespace ombrix::gis
