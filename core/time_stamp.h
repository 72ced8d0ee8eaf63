#pragma once
// The six-byte time stamp of an archive record, copied unchanged into the RMD frame index.
#include <cstdint>

namespace ombrix::core {

struct TimeStamp {
  std::int16_t year = 0;
  std::uint8_t month = 0;
  std::uint8_t day = 0;
  std::uint8_t hour = 0;
  std::uint8_t minute = 0;
  bool operator==(const TimeStamp&) const = default;
};

inline constexpr std::size_t kTimeStampSize = 6;

}  // namespace ombrix::core
