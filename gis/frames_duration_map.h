#pragma once
// The map of the largest H-hour depths of an area over a period, straight from a source of
// frames (the archive or the agency's GRIB2 files). Memory is the window's running sums, the
// H hours of frames a window spans and a map per period, whatever the number of frames.
#include "core/frame_source.h"
#include "core/preprocess_run.h"
#include "core/rmd_dataset.h"
#include "gis/duration_map.h"

namespace ombrix::gis {

struct FramesDurationMap {
  // The area window's cells and the label of the frames: one map for the whole period, or one
  // for each calendar year or month of the frames' times.
  std::vector<DurationMap> maps;
  core::CellGrid cells;  // where those cells lie
};

// Every frame slot of the request's period over its area, the maxima taken over the whole
// period or by year or month as the RMD form takes them. Refused as the RMD form is (H outside
// 1 .. kMaxDurationHours or longer than the period), and with the source's refusals.
core::Status durationMaximumMapOf(const core::FrameRequest& request, int hours, MaximaPeriods by,
                                  FramesDurationMap& result, const core::OperationCallbacks& callbacks = {});

}  // namespace ombrix::gis
