#pragma once
// The six-byte time stamp of an archive record, copied unchanged into the RMD frame index:
// the year as a little-endian 16-bit number, then month, day, hour and minute, one byte each.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/byte_io.h"

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

inline TimeStamp readTimeStamp(const std::uint8_t* p) noexcept { return {readI16LE(p), p[2], p[3], p[4], p[5]}; }

inline void writeTimeStamp(std::uint8_t* p, const TimeStamp& stamp) noexcept {
  writeI16LE(p, stamp.year);
  p[2] = stamp.month;
  p[3] = stamp.day;
  p[4] = stamp.hour;
  p[5] = stamp.minute;
}

// "YYYY-MM-DD hh:mm", or "YYYY-MM-DDThh:mm" with separator 'T'.
std::string stampText(const TimeStamp& stamp, char separator = ' ');

}  // namespace ombrix::core
