#pragma once
// The map of the largest H-hour depths of the open file over a range of frames, shown like the
// accumulation map and labelled with the range and H for the current-display exports.
#include "core/analysis_conditions.h"
#include "core/preprocess_run.h"
#include "core/status.h"

namespace ombrix::gis {

// rainGrid becomes each cell's largest H-hour depth over frames first .. last (0.1 mm, -1 where
// no window has data), frameLabel the two frames' stamps and "-MAX<H>H". Refused, nothing
// changed: no file open, frames out of order, a frame that cannot be read.
core::Status showDurationMaximum(core::AnalysisConditions& conditions, int first, int last, int hours,
                                 const core::PreprocessCallbacks& callbacks = {});
// Over every frame of the open file.
core::Status showDurationMaximum(core::AnalysisConditions& conditions, int hours);

}  // namespace ombrix::gis
