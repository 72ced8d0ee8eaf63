#include "core/frame_slots.h"

#include <gtest/gtest.h>

#include "support/sample_grid.h"

namespace ombrix::core {
namespace {

// Four half-hourly frames of 1 July 2005; frame 0 is empty. A damaged stamp of a frame with data
// (an impossible date, hour or year, or a real time on another day) gives way to its slot's time;
// a damaged first stamp does not decide the clock.
TEST(FrameTimes, StampsThatAreNoRealTimeOfTheirSlotGiveWayToTheSlotsTime) {
  const RmdHeader header = test::sampleGrid(4, 1, 1);
  const std::int32_t data = 1 << 20;  // past the index: a frame with data
  const auto timesWith = [&](const TimeStamp& second, const TimeStamp& third) {
    const std::vector<FrameIndexEntry> index{{{0, 0, 0, 0, 0}, 0}, {second, data}, {third, data},
                                             {{2005, 7, 1, 1, 30}, data}};
    return frameTimes(header, index);
  };
  const TimeStamp ok{2005, 7, 1, 0, 30};
  const std::vector<std::pair<TimeStamp, TimeStamp>> third{
      {{2005, 13, 1, 1, 0}, {2005, 7, 1, 1, 0}},  {{-32768, 7, 1, 1, 0}, {2005, 7, 1, 1, 0}},
      {{2005, 7, 1, 255, 30}, {2005, 7, 1, 1, 0}}, {{2005, 7, 1, 1, 60}, {2005, 7, 1, 1, 0}},
      {{2005, 2, 30, 1, 0}, {2005, 7, 1, 1, 0}},  {{2004, 7, 1, 1, 0}, {2005, 7, 1, 1, 0}},
      {{2005, 7, 1, 1, 45}, {2005, 7, 1, 1, 45}},  // a real time of the slot's day stays
  };
  for (const auto& [stamp, time] : third) {
    EXPECT_EQ(timesWith(ok, stamp), (std::vector<TimeStamp>{{2005, 7, 1, 0, 0}, ok, time, {2005, 7, 1, 1, 30}}))
        << int{stamp.year} << "-" << int{stamp.month} << "-" << int{stamp.day} << " " << int{stamp.hour};
  }
  EXPECT_EQ(timesWith({2005, 13, 1, 0, 30}, {2005, 7, 1, 1, 0}),
            (std::vector<TimeStamp>{{2005, 7, 1, 0, 0}, ok, {2005, 7, 1, 1, 0}, {2005, 7, 1, 1, 30}}));
}

}  // namespace
}  // namespace ombrix::core
