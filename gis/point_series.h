#pragma once
// The rain rate of the cell holding a point, frame by frame, straight from a source of frames
// (the archive or the agency's GRIB2 files): only that cell of each frame is taken, on the
// source's worker threads.
#include <cstdint>
#include <vector>

#include "core/frame_source.h"
#include "core/time_stamp.h"

namespace ombrix::gis {

struct PointSeries {
  std::size_t cell = 0;  // the cell's ID in the window
  std::vector<core::TimeStamp> times;
  std::vector<std::int16_t> values;  // 0.1 mm/h, -1 without data
};

// Every frame slot of the request's period; the request's area is not used. Refused with
// PointOutsideGrid when no cell holds the point, and with the source's refusals.
core::Status pointSeries(const core::FrameRequest& request, double lon, double lat, PointSeries& series,
                         const core::OperationCallbacks& callbacks = {});

}  // namespace ombrix::gis
