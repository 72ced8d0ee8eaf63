#include "gis/duration_map.h"

#include <string>
#include <vector>

#include "core/messages.h"
#include "gis/areal_run.h"
#include "gis/duration_maxima.h"
#include "viewer/frame_loading.h"

namespace ombrix::gis {

core::Status showDurationMaximum(core::AnalysisConditions& conditions, int first, int last, int hours,
                                 const core::PreprocessCallbacks& callbacks) {
  if (conditions.openRmdPath.empty()) return core::Status::failure(std::string(messages::kNoFileOpen));
  if (first < 0 || last < first || last >= conditions.frameCount) {
    return core::Status::failure(std::string(messages::kTimesNotInOrder));
  }
  if (hours < 1) return core::Status::failure(std::string(messages::kDurationHoursInvalid));
  const int frames = last - first + 1;
  const FrameReader read = [&](int k, std::vector<std::int16_t>& cells) {
    if (callbacks.yield) callbacks.yield();
    if (callbacks.progress) callbacks.progress(k + 1, frames);
    return viewer::loadFrame(conditions, first + k, cells);
  };
  const std::size_t cells = static_cast<std::size_t>(conditions.gridRows) * static_cast<std::size_t>(conditions.gridCols);
  std::vector<std::int16_t> depths;
  if (core::Status s = cellDurationMaxima(cells, frames, framesPerHourOf(conditions), hours, read, depths); !s) {
    return s;
  }
  conditions.rainGrid = std::move(depths);
  conditions.frameLabel = viewer::frameStamp(conditions, first) + viewer::frameStamp(conditions, last) + "-MAX" +
                          std::to_string(hours) + "H";
  return core::Status::success();
}

core::Status showDurationMaximum(core::AnalysisConditions& conditions, int hours) {
  return showDurationMaximum(conditions, 0, conditions.frameCount - 1, hours);
}

}  // namespace ombrix::gis
