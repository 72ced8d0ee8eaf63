#pragma once
// The map of the largest H-hour depths of the open file over a range of frames, shown like the
// accumulation map and labelled with the range and H for the current-display exports.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/operation_callbacks.h"
#include "core/problem.h"
#include "core/rmd_dataset.h"
#include "gis/duration_maxima.h"

namespace ombrix::gis {

struct DurationMap {
  std::vector<std::int16_t> grid;  // 0.1 mm; -1 where no window has data in all its frames
  std::string label;               // the two frames' stamps and "-MAX<H>H"
  std::string period;              // "2019", "2019-07"; empty for the whole range
};

// The label of the map of H-hour depths over the frames stamped first .. last.
std::string durationLabel(const core::TimeStamp& first, const core::TimeStamp& last, int hours);

// Cells of one band of rows worked through at a time: the running sums cost a band's worth of
// memory, so the map costs about its own grid whatever the grid, the frames and H.
inline constexpr std::size_t kDurationBandCells = std::size_t{1} << 19;

// Each cell's largest H-hour depth over frames first .. last of the file, band by band: one step
// of callbacks per frame of each band as it enters the windows (bands x frames steps), and a
// yield before every other read. Refused: frames out of order, H outside 1 .. kMaxDurationHours
// or longer than the frames (no window fits), a frame that cannot be read; or cancelled. map is
// unchanged unless it succeeds.
core::Status durationMaximumMap(core::RmdDataset& file, int first, int last, int hours,
                                DurationMap& map, const core::OperationCallbacks& callbacks = {},
                                std::size_t bandCells = kDurationBandCells);

// Takes each map as its period ends, in time order, with where its cells lie; a refusal stops
// the run with that refusal.
using DurationMapSink = std::function<core::Status(DurationMap& map, const core::CellGrid& cells)>;

// The same map for each calendar year or month of the frames' times (one map, the whole range's,
// for MaximaPeriods::Whole), a window counting in the period of its last frame; each map
// labelled with its period's first and last frames and handed to sink once all its bands are
// done, so memory is one map whatever the periods. Period by period, each from the frames its
// windows span back to: one step per frame of each band as it enters the windows. The same
// refusals.
core::Status durationMaximumMaps(core::RmdDataset& file, int first, int last, int hours, MaximaPeriods by,
                                 const DurationMapSink& sink, const core::OperationCallbacks& callbacks = {},
                                 std::size_t bandCells = kDurationBandCells);

// The maps of all the periods at once; maps is unchanged unless it succeeds.
core::Status durationMaximumMaps(core::RmdDataset& file, int first, int last, int hours, MaximaPeriods by,
                                 std::vector<DurationMap>& maps, const core::OperationCallbacks& callbacks = {},
                                 std::size_t bandCells = kDurationBandCells);

}  // namespace ombrix::gis
