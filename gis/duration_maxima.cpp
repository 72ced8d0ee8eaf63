#include "gis/duration_maxima.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>


namespace ombrix::gis {

namespace {
// Depths closer than this (far below the 0.01 printed) are equal: the first window keeps its place.
constexpr double kEqualDepths = 1e-8;
}  // namespace

std::optional<DurationMaximum> durationMaximum(std::span<const double> values, int framesPerHour, int hours) {
  std::optional<DurationMaximum> best;
  if (framesPerHour < 1 || hours < 1) return best;
  const std::size_t span = static_cast<std::size_t>(hours - 1) * static_cast<std::size_t>(framesPerHour);
  for (std::size_t k = span; k < values.size(); ++k) {
    double depth = 0;
    for (std::size_t back = 0; back <= span && !std::isnan(depth); back += static_cast<std::size_t>(framesPerHour)) {
      depth += values[k - back];
    }
    if (!std::isnan(depth) && (!best || depth > best->depth + kEqualDepths)) best = DurationMaximum{depth, k};
  }
  return best;
}

core::Status cellDurationMaxima(std::size_t cellCount, int frameCount, int framesPerHour, int hours,
                                const FrameReader& readFrame, std::vector<std::int16_t>& depths) {
  // For each phase of the hour, the running sum of the window's values and how many of them
  // have no data; a window of H frames of one phase ends at every frame.
  const auto phases = static_cast<std::size_t>(framesPerHour);
  std::vector<std::int32_t> sums(phases * cellCount, 0);
  std::vector<std::int32_t> missing(phases * cellCount, 0);
  std::vector<std::int32_t> best(cellCount, std::numeric_limits<std::int32_t>::min());
  std::vector<std::int16_t> entering;
  std::vector<std::int16_t> leaving;
  const int window = hours * framesPerHour;
  for (int k = 0; k < frameCount; ++k) {
    const std::size_t base = static_cast<std::size_t>(k % framesPerHour) * cellCount;
    if (core::Status s = readFrame(k, entering); !s) return s;
    if (entering.size() != cellCount) return {core::Problem::FrameNotInFile};
    for (std::size_t c = 0; c < cellCount; ++c) {
      const std::int16_t v = entering[c];
      if (v >= 0) sums[base + c] += v; else ++missing[base + c];
    }
    if (k >= window) {
      if (core::Status s = readFrame(k - window, leaving); !s) return s;
      if (leaving.size() != cellCount) return {core::Problem::FrameNotInFile};
      for (std::size_t c = 0; c < cellCount; ++c) {
        const std::int16_t v = leaving[c];
        if (v >= 0) sums[base + c] -= v; else --missing[base + c];
      }
    }
    if (k < window - framesPerHour) continue;
    for (std::size_t c = 0; c < cellCount; ++c) {
      if (missing[base + c] == 0 && sums[base + c] > best[c]) best[c] = sums[base + c];
    }
  }
  depths.assign(cellCount, -1);
  for (std::size_t c = 0; c < cellCount; ++c) {
    if (best[c] >= 0) depths[c] = static_cast<std::int16_t>(std::min<std::int32_t>(best[c], 32767));
  }
  return {};
}

}  // namespace ombrix::gis
