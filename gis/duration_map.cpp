#include "gis/duration_map.h"

#include <algorithm>

#include "core/rmd_file.h"
#include "gis/areal_run.h"
#include "gis/duration_maxima.h"
#include "gis/duration_window.h"
#include "viewer/frame_accumulation.h"
#include "viewer/frame_loading.h"

namespace ombrix::gis {

namespace {

// The bands of whole rows of at most bandCells cells (one row when a row is longer).
std::vector<core::CellRange> rowBands(const core::RmdHeader& header, std::size_t bandCells) {
  const auto columns = static_cast<std::size_t>(header.gridCols);
  const std::size_t step = std::max<std::size_t>(1, bandCells / columns) * columns;
  std::vector<core::CellRange> bands;
  for (std::size_t first = 0; first < header.cellCount(); first += step) {
    bands.push_back({first, std::min(step, header.cellCount() - first)});
  }
  return bands;
}

}  // namespace

core::Status durationMaximumMap(core::RmdDataset& file, int first, int last, int hours, DurationMap& map,
                                const core::OperationCallbacks& callbacks, std::size_t bandCells) {
  if (first < 0 || last < first || last >= file.frameCount()) return {core::Problem::TimesNotInOrder};
  if (!durationHoursValid(hours)) return {core::Problem::DurationHoursInvalid};
  if (!durationFits(last - first + 1, framesPerHourOf(file), hours)) {
    return {core::Problem::DurationLongerThanRange, {}, {.hours = hours}};
  }
  const core::RmdHeader& header = file.header();
  const int frames = last - first + 1;
  const std::vector<core::CellRange> bands = rowBands(header, bandCells);
  const int steps = static_cast<int>(bands.size()) * frames;
  DurationMap result;
  result.grid.resize(header.cellCount());
  std::vector<std::int16_t> depths;
  int done = 0;
  for (const core::CellRange& band : bands) {
    // Frames are read as they enter a window and again as they leave it; progress counts the
    // first reads.
    int entering = 0;
    const FrameReader read = [&](int k, std::vector<std::int16_t>& cells) {
      if (k == entering) {
        ++entering;
        if (core::Status s = callbacks.step(++done, steps); !s) return s;
      } else if (callbacks.yield) {
        callbacks.yield();
      }
      return file.readCells(first + k, band, cells);
    };
    if (core::Status s = cellDurationMaxima(band.count, frames, framesPerHourOf(file), hours, read, depths); !s) {
      return s;
    }
    std::copy(depths.begin(), depths.end(), result.grid.begin() + static_cast<std::ptrdiff_t>(band.first));
  }
  result.label = viewer::rangeLabel(file.index()[static_cast<std::size_t>(first)].stamp,
                                    file.index()[static_cast<std::size_t>(last)].stamp, viewer::RangeFold::Maximum) +
                 std::to_string(hours) + "H";
  map = std::move(result);
  return {};
}

}  // namespace ombrix::gis
