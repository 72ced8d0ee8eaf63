#pragma once
// The map of the largest H-hour depths of an area over a period, straight from a source of
// frames (the archive or the agency's GRIB2 files). Memory is the window's running sums and the
// H hours of frames a window spans, whatever the period.
#include "core/frame_source.h"
#include "core/preprocess_run.h"
#include "core/rmd_dataset.h"
#include "gis/duration_map.h"

namespace ombrix::gis {

struct FramesDurationMap {
  DurationMap map;       // the area window's cells and the label of the period's frames
  core::CellGrid cells;  // where those cells lie
};

// Every frame slot of the request's period over its area. Refused as the RMD form is (H outside
// 1 .. kMaxDurationHours or longer than the period), and with the source's refusals.
core::Status durationMaximumMapOf(const core::FrameRequest& request, int hours, FramesDurationMap& result,
                                  const core::OperationCallbacks& callbacks = {});

}  // namespace ombrix::gis
