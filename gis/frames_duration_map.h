#pragma once
// The map of the largest H-hour depths of an area over a period, straight from a source of
// frames (the archive or the agency's GRIB2 files). Memory is the window's running sums, the
// H hours of frames a window spans and one map, whatever the number of frames and periods.
#include "core/frame_source.h"
#include "core/preprocess_run.h"
#include "core/rmd_dataset.h"
#include "gis/duration_map.h"

namespace ombrix::gis {

// Every frame slot of the request's period over its area, the maxima taken over the whole
// period or by year or month as the RMD form takes them, each map labelled with its period's
// first and last frames and handed to sink, with the area window's cells, as its period ends.
// Refused as the RMD form is (H outside 1 .. kMaxDurationHours or longer than the period), and
// with the source's refusals.
core::Status durationMaximumMapOf(const core::FrameRequest& request, int hours, MaximaPeriods by,
                                  const DurationMapSink& sink, const core::OperationCallbacks& callbacks = {});

}  // namespace ombrix::gis
