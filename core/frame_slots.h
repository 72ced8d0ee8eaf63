#pragma once
// The time each frame slot of a file stands for: the first day's midnight plus the slot number
// times the interval (30 minutes in half-hourly files, 60 in hourly ones). It labels frames whose
// index entry is empty, so a time axis has no hole.
#include <optional>
#include <span>
#include <vector>

#include "core/rmd_file.h"
#include "core/time_stamp.h"

namespace ombrix::core {

struct SlotClock {
  TimeStamp firstDay;  // midnight of the first day
  int framesPerDay = 24;
  int framesPerHour() const noexcept { return framesPerDay / 24; }
  TimeStamp slotTime(int slot) const noexcept;
};

// The clock of a period starting on a day.
SlotClock slotClockFrom(int year, int month, int day) noexcept;
// The clock of a file: its first frame with data stamped with a calendar time gives the era and,
// less the days before its slot, the first day. Nothing when no such frame exists.
std::optional<SlotClock> slotClockOf(const RmdHeader& header, std::span<const FrameIndexEntry> index) noexcept;

// The time of a frame with data, as every analysis and export labels it: its stored stamp when
// that is a real time of its slot (a calendar time on the slot's day), else the slot's time. A
// damaged index or record directory thus never puts an impossible time into an output.
TimeStamp frameTime(const TimeStamp& stored, const TimeStamp& slot) noexcept;

// The time of every frame of a file: frameTime for a frame with data, else its slot's time.
std::vector<TimeStamp> frameTimes(const RmdHeader& header, std::span<const FrameIndexEntry> index);

}  // namespace ombrix::core
