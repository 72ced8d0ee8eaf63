#include "core/frame_slots.h"

#include <chrono>

namespace ombrix::core {

namespace {

std::chrono::sys_days dayOf(const TimeStamp& stamp) noexcept {
  using namespace std::chrono;
  return sys_days{year{stamp.year} / month{stamp.month} / day{stamp.day}};
}

// A calendar time: a real date, hours 0-23, minutes 0-59.
bool isCalendarTime(const TimeStamp& stamp) noexcept {
  using namespace std::chrono;
  return year_month_day{year{stamp.year}, month{stamp.month}, day{stamp.day}}.ok() && stamp.hour < 24 &&
         stamp.minute < 60;
}

}  // namespace

TimeStamp frameTime(const TimeStamp& stored, const TimeStamp& slot) noexcept {
  const bool onSlotDay = stored.year == slot.year && stored.month == slot.month && stored.day == slot.day;
  return onSlotDay && isCalendarTime(stored) ? stored : slot;
}

TimeStamp SlotClock::slotTime(int slot) const noexcept {
  using namespace std::chrono;
  const minutes interval{24 * 60 / framesPerDay};
  const sys_time<minutes> time = dayOf(firstDay) + slot * interval;
  const sys_days day = floor<days>(time);
  const year_month_day date{day};
  const hh_mm_ss<minutes> clock{time - day};
  return {static_cast<std::int16_t>(static_cast<int>(date.year())), static_cast<std::uint8_t>(unsigned(date.month())),
          static_cast<std::uint8_t>(unsigned(date.day())), static_cast<std::uint8_t>(clock.hours().count()),
          static_cast<std::uint8_t>(clock.minutes().count())};
}

SlotClock slotClockFrom(int year, int month, int day) noexcept {
  return {{static_cast<std::int16_t>(year), static_cast<std::uint8_t>(month), static_cast<std::uint8_t>(day), 0, 0},
          framesPerDay(year, month)};
}

std::optional<SlotClock> slotClockOf(const RmdHeader& header, std::span<const FrameIndexEntry> index) noexcept {
  using std::chrono::year_month_day;
  for (std::size_t i = 0; i < index.size(); ++i) {
    const TimeStamp& stamp = index[i].stamp;
    if (!frameHasData(header, index[i].frameOffset) || !isCalendarTime(stamp)) continue;
    const int perDay = framesPerDay(stamp.year, stamp.month);
    const year_month_day first{dayOf(stamp) - std::chrono::days{static_cast<int>(i) / perDay}};
    if (!first.ok()) return std::nullopt;
    return slotClockFrom(static_cast<int>(first.year()), static_cast<int>(unsigned(first.month())),
                         static_cast<int>(unsigned(first.day())));
  }
  return std::nullopt;
}

std::vector<TimeStamp> frameTimes(const RmdHeader& header, std::span<const FrameIndexEntry> index) {
  const SlotClock clock = slotClockOf(header, index).value_or(SlotClock{});
  std::vector<TimeStamp> times;
  times.reserve(index.size());
  for (std::size_t i = 0; i < index.size(); ++i) {
    const TimeStamp slot = clock.slotTime(static_cast<int>(i));
    times.push_back(frameHasData(header, index[i].frameOffset) ? frameTime(index[i].stamp, slot) : slot);
  }
  return times;
}

}  // namespace ombrix::core
