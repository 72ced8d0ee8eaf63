#include "gis/duration_maxima.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>


namespace ombrix::gis {

namespace {
// Depths closer than this (far below the 0.01 printed) are equal: the first window keeps its place.
constexpr double kEqualDepths = 1e-8;
}  // namespace

std::optional<DurationMaximum> durationMaximum(std::span<const double> values, int framesPerHour, int hours,
                                               std::size_t firstEnd) {
  std::optional<DurationMaximum> best;
  if (framesPerHour < 1 || hours < 1) return best;
  const std::size_t span = static_cast<std::size_t>(hours - 1) * static_cast<std::size_t>(framesPerHour);
  for (std::size_t k = std::max(span, firstEnd); k < values.size(); ++k) {
    double depth = 0;
    for (std::size_t back = 0; back <= span && !std::isnan(depth); back += static_cast<std::size_t>(framesPerHour)) {
      depth += values[k - back];
    }
    if (!std::isnan(depth) && (!best || depth > best->depth + kEqualDepths)) best = DurationMaximum{depth, k};
  }
  return best;
}

std::string periodName(const core::TimeStamp& time, MaximaPeriods by) {
  char name[16] = "";
  if (by == MaximaPeriods::Year) std::snprintf(name, sizeof name, "%04d", time.year);
  if (by == MaximaPeriods::Month) std::snprintf(name, sizeof name, "%04d-%02d", time.year, time.month);
  return name;
}

std::vector<FramePeriod> framePeriods(std::span<const core::TimeStamp> times, MaximaPeriods by) {
  std::vector<FramePeriod> periods;
  for (std::size_t f = 0; f < times.size(); ++f) {
    std::string name = periodName(times[f], by);
    if (!periods.empty() && name == periods.back().name) {
      periods.back().last = f;
    } else {
      periods.push_back({f, f, std::move(name)});
    }
  }
  return periods;
}

CellDurationMaxima::CellDurationMaxima(std::size_t cellCount, int framesPerHour, int hours)
    : framesPerHour_(framesPerHour),
      window_(hours * framesPerHour),
      sums_(static_cast<std::size_t>(framesPerHour) * cellCount, 0),
      missing_(static_cast<std::size_t>(framesPerHour) * cellCount, 0),
      best_(cellCount, std::numeric_limits<std::int32_t>::min()) {}

namespace {

// One pass over the cells: the entering frame's values, less the leaving one's where a frame
// leaves, into the sums and counts of frames without data of its phase; then, where the windows
// ending here count, each cell's best so far. One pass instead of three keeps the pass to one
// read and write of each array, the bound of its speed.
template <bool Leaving, bool Counting>
void passOverCells(const std::int16_t* entering, const std::int16_t* leaving, std::int32_t* sums, std::int32_t* missing,
                   std::int32_t* best, std::size_t cells) noexcept {
  for (std::size_t c = 0; c < cells; ++c) {
    const std::int16_t in = entering[c];
    std::int32_t sum = sums[c] + (in >= 0 ? in : 0);
    std::int32_t gaps = missing[c] + (in >= 0 ? 0 : 1);
    if constexpr (Leaving) {
      const std::int16_t out = leaving[c];
      sum -= out >= 0 ? out : 0;
      gaps -= out >= 0 ? 0 : 1;
    }
    sums[c] = sum;
    missing[c] = gaps;
    if constexpr (Counting) {
      if (gaps == 0 && sum > best[c]) best[c] = sum;
    }
  }
}

}  // namespace

void CellDurationMaxima::add(std::span<const std::int16_t> entering, std::span<const std::int16_t> leaving) {
  const std::size_t cells = best_.size();
  const std::size_t base = static_cast<std::size_t>(frame_ % framesPerHour_) * cells;
  const bool counting = frame_++ >= window_ - framesPerHour_;
  const auto pass = leaving.empty() ? (counting ? passOverCells<false, true> : passOverCells<false, false>)
                                    : (counting ? passOverCells<true, true> : passOverCells<true, false>);
  pass(entering.data(), leaving.data(), sums_.data() + base, missing_.data() + base, best_.data(), cells);
}

std::vector<std::int16_t> CellDurationMaxima::takeDepths() {
  std::vector<std::int16_t> depths(best_.size(), -1);
  for (std::size_t c = 0; c < best_.size(); ++c) {
    if (best_[c] >= 0) depths[c] = static_cast<std::int16_t>(std::min<std::int32_t>(best_[c], 32767));
    best_[c] = std::numeric_limits<std::int32_t>::min();
  }
  return depths;
}

core::Status cellDurationMaxima(std::size_t cellCount, std::span<const FramePeriod> periods, int framesPerHour,
                                int hours, const FrameReader& readFrame,
                                std::vector<std::vector<std::int16_t>>& depths) {
  CellDurationMaxima maxima(cellCount, framesPerHour, hours);
  std::vector<std::int16_t> entering;
  std::vector<std::int16_t> leaving;
  std::vector<std::vector<std::int16_t>> taken;
  const int window = maxima.windowFrames();
  const int frameCount = periods.empty() ? 0 : static_cast<int>(periods.back().last) + 1;
  for (int k = 0; k < frameCount; ++k) {
    // The windows ended so far are those of the periods before frame k's.
    if (taken.size() + 1 < periods.size() && periods[taken.size() + 1].first == static_cast<std::size_t>(k)) {
      taken.push_back(maxima.takeDepths());
    }
    if (core::Status s = readFrame(k, entering); !s) return s;
    if (entering.size() != cellCount) return {core::Problem::FrameNotInFile};
    leaving.clear();
    if (k >= window) {
      if (core::Status s = readFrame(k - window, leaving); !s) return s;
      if (leaving.size() != cellCount) return {core::Problem::FrameNotInFile};
    }
    maxima.add(entering, leaving);
  }
  taken.push_back(maxima.takeDepths());
  depths = std::move(taken);
  return {};
}

}  // namespace ombrix::gis
