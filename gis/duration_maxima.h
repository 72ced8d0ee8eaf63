#pragma once
// Duration maxima: the depth of H hours ending at frame k is the sum of the hourly values of
// frames k, k - s, ..., k - (H - 1) s, s the frames per hour, so no hour counts twice. A window
// with a frame without data is skipped; the first of several equal maxima wins, depths that
// differ by less than 1e-8 (the rounding of sums in another order) counting as equal.
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/problem.h"
#include "core/time_stamp.h"

namespace ombrix::gis {

struct DurationMaximum {
  double depth = 0;  // in the unit of the values times hours
  std::size_t endFrame = 0;
  bool operator==(const DurationMaximum&) const = default;
};

// values: one per frame, NaN for a frame without data. Only windows ending at firstEnd or later
// count (a window crossing into a period belongs to the period of its last frame).
std::optional<DurationMaximum> durationMaximum(std::span<const double> values, int framesPerHour, int hours,
                                               std::size_t firstEnd = 0);

// The calendar periods maxima are taken over: the whole range, each year or each month of the
// frames' stamps.
enum class MaximaPeriods { Whole, Year, Month };

// The frames first .. last of one period, and its name: "2019", "2019-07", or empty for Whole.
struct FramePeriod {
  std::size_t first = 0;
  std::size_t last = 0;
  std::string name;
};

// The period a frame stamped time belongs to: "2019", "2019-07", or empty for Whole. A window
// belongs to the period of its last frame.
std::string periodName(const core::TimeStamp& time, MaximaPeriods by);

// The periods of times (in order), each a run of frames whose stamps share a year or month.
std::vector<FramePeriod> framePeriods(std::span<const core::TimeStamp> times, MaximaPeriods by);

// Every cell's largest H-hour depth so far, fed one frame at a time in order: frame k enters the
// windows, frame k - H x framesPerHour (once there is one) leaves them.
class CellDurationMaxima {
 public:
  CellDurationMaxima(std::size_t cellCount, int framesPerHour, int hours);
  std::size_t cellCount() const noexcept { return best_.size(); }
  // The frames a window spans back from its last: entering frame k, frame k - windowFrames() leaves.
  int windowFrames() const noexcept { return window_; }
  // leaving is empty while k < windowFrames(). Both hold cellCount() values.
  void add(std::span<const std::int16_t> entering, std::span<const std::int16_t> leaving);
  // The maxima of the windows ended since the last call, in the stored unit (0.1 mm, at most
  // 32767), -1 where none had data in every frame; the windows running on stay.
  std::vector<std::int16_t> takeDepths();

 private:
  // For each phase of the hour, the running sum of the window's values and how many of them
  // have no data; a window of H frames of one phase ends at every frame.
  int framesPerHour_;
  int window_;
  std::int64_t frame_ = 0;
  std::vector<std::int32_t> sums_;
  std::vector<std::int32_t> missing_;
  std::vector<std::int32_t> best_;
};

// Every cell's maximum H-hour depth over the windows ending in each of periods (runs of frames
// from 0, in order, as framePeriods gives them): depths[p] for periods[p], in the stored unit
// (0.1 mm, at most 32767), -1 where no such window has data in every frame. readFrame(k, cells)
// loads frame k; each frame is read twice (entering and leaving the window), so memory stays at
// a few grids and a grid per period whatever the duration.
using FrameReader = std::function<core::Status(int frame, std::vector<std::int16_t>& cells)>;
core::Status cellDurationMaxima(std::size_t cellCount, std::span<const FramePeriod> periods, int framesPerHour,
                                int hours, const FrameReader& readFrame,
                                std::vector<std::vector<std::int16_t>>& depths);

}  // namespace ombrix::gis
