#include "gis/duration_map.h"

#include <algorithm>

#include "core/frame_slots.h"
#include "core/rmd_file.h"
#include "gis/areal_run.h"
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

std::string durationLabel(const core::TimeStamp& first, const core::TimeStamp& last, int hours) {
  return viewer::frameStamp(first) + viewer::frameStamp(last) + viewer::durationSuffix(hours);
}

core::Status durationMaximumMaps(core::RmdDataset& file, int first, int last, int hours, MaximaPeriods by,
                                 const DurationMapSink& sink, const core::OperationCallbacks& callbacks,
                                 std::size_t bandCells) {
  if (first < 0 || last < first || last >= file.frameCount()) return {core::Problem::TimesNotInOrder};
  if (!durationHoursValid(hours)) return {core::Problem::DurationHoursInvalid};
  const int framesPerHour = framesPerHourOf(file);
  if (!durationFits(last - first + 1, framesPerHour, hours)) {
    return {core::Problem::DurationLongerThanRange, {}, {.hours = hours}};
  }
  const core::RmdHeader& header = file.header();
  const std::vector<core::TimeStamp> times = core::frameTimes(header, file.index());
  const std::vector<FramePeriod> periods = framePeriods(
      std::span(times).subspan(static_cast<std::size_t>(first), static_cast<std::size_t>(last - first + 1)), by);
  const auto stamp = [&](std::size_t k) { return file.index()[static_cast<std::size_t>(first) + k].stamp; };
  // The frames before a period that the windows ending in it span back to, as far as the range goes.
  const auto leadOf = [&](const FramePeriod& p) {
    return std::min(p.first, static_cast<std::size_t>(hours - 1) * static_cast<std::size_t>(framesPerHour));
  };
  const std::vector<core::CellRange> bands = rowBands(header, bandCells);
  std::size_t entered = 0;
  for (const FramePeriod& period : periods) entered += leadOf(period) + period.last - period.first + 1;
  const int steps = static_cast<int>(bands.size() * entered);
  int done = 0;
  std::vector<std::vector<std::int16_t>> depths;
  for (const FramePeriod& period : periods) {
    // The period from its lead-in, whose own windows count in no map.
    const std::size_t lead = leadOf(period);
    const int start = first + static_cast<int>(period.first - lead);
    std::vector<FramePeriod> runs;
    if (lead > 0) runs.push_back({0, lead - 1, {}});
    runs.push_back({lead, lead + period.last - period.first, period.name});
    DurationMap map{std::vector<std::int16_t>(header.cellCount()),
                    durationLabel(stamp(period.first), stamp(period.last), hours), period.name};
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
        return file.readCells(start + k, band, cells);
      };
      if (core::Status s = cellDurationMaxima(band.count, runs, framesPerHour, hours, read, depths); !s) return s;
      std::ranges::copy(depths.back(), map.grid.begin() + static_cast<std::ptrdiff_t>(band.first));
    }
    if (core::Status s = sink(map, file.grid()); !s) return s;
  }
  return {};
}

core::Status durationMaximumMaps(core::RmdDataset& file, int first, int last, int hours, MaximaPeriods by,
                                 std::vector<DurationMap>& maps, const core::OperationCallbacks& callbacks,
                                 std::size_t bandCells) {
  std::vector<DurationMap> result;
  const DurationMapSink keep = [&](DurationMap& map, const core::CellGrid&) {
    result.push_back(std::move(map));
    return core::Status();
  };
  if (core::Status s = durationMaximumMaps(file, first, last, hours, by, keep, callbacks, bandCells); !s) return s;
  maps = std::move(result);
  return {};
}

core::Status durationMaximumMap(core::RmdDataset& file, int first, int last, int hours, DurationMap& map,
                                const core::OperationCallbacks& callbacks, std::size_t bandCells) {
  std::vector<DurationMap> maps;
  if (core::Status s = durationMaximumMaps(file, first, last, hours, MaximaPeriods::Whole, maps, callbacks, bandCells);
      !s) {
    return s;
  }
  map = std::move(maps.front());
  return {};
}

}  // namespace ombrix::gis
