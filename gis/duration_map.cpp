#include "gis/duration_map.h"

#include "gis/areal_run.h"
#include "gis/duration_maxima.h"
#include "gis/duration_window.h"
#include "viewer/frame_loading.h"

namespace ombrix::gis {

core::Status durationMaximumMap(const core::AnalysisConditions& conditions, int first, int last, int hours,
                                DurationMap& map, const core::PreprocessCallbacks& callbacks) {
  if (!conditions.fileOpen()) return {core::Problem::NoFileOpen};
  if (first < 0 || last < first || last >= conditions.openFrameCount()) {
    return {core::Problem::TimesNotInOrder};
  }
  if (!durationHoursValid(hours)) return {core::Problem::DurationHoursInvalid};
  if (!durationFits(last - first + 1, framesPerHourOf(conditions), hours)) {
    return {core::Problem::DurationLongerThanRange, {}, {std::to_string(hours)}};
  }
  const int frames = last - first + 1;
  const FrameReader read = [&](int k, std::vector<std::int16_t>& cells) {
    if (callbacks.yield) callbacks.yield();
    if (callbacks.progress) callbacks.progress(k + 1, frames);
    return viewer::loadFrame(conditions, first + k, cells);
  };
  const std::size_t cells =
      static_cast<std::size_t>(conditions.header.gridRows) * static_cast<std::size_t>(conditions.header.gridCols);
  DurationMap result;
  if (core::Status s = cellDurationMaxima(cells, frames, framesPerHourOf(conditions), hours, read, result.grid); !s) {
    return s;
  }
  result.label = viewer::frameStamp(conditions, first) + viewer::frameStamp(conditions, last) + "-MAX" +
                 std::to_string(hours) + "H";
  map = std::move(result);
  return {};
}

void applyDurationMap(DurationMap map, core::AnalysisConditions& conditions) {
  conditions.rainGrid = std::move(map.grid);
  conditions.frameLabel = std::move(map.label);
}

}  // namespace ombrix::gis
