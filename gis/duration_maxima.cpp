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

void CellDurationMaxima::add(std::span<const std::int16_t> entering, std::span<const std::int16_t> leaving) {
  const std::size_t cells = best_.size();
  const std::size_t base = static_cast<std::size_t>(frame_ % framesPerHour_) * cells;
  for (std::size_t c = 0; c < cells; ++c) {
    const std::int16_t v = entering[c];
    if (v >= 0) sums_[base + c] += v; else ++missing_[base + c];
  }
  for (std::size_t c = 0; c < leaving.size(); ++c) {
    const std::int16_t v = leaving[c];
    if (v >= 0) sums_[base + c] -= v; else --missing_[base + c];
  }
  if (frame_++ < window_ - framesPerHour_) return;
  for (std::size_t c = 0; c < cells; ++c) {
    if (missing_[base + c] == 0 && sums_[base + c] > best_[c]) best_[c] = sums_[base + c];
  }
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
