#pragma once
// Copies of the agency's real fields (data/) with another accumulation end: the inputs of a
// stream of half hours made from the two messages there.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace ombrix::test {

inline std::filesystem::path realField(int which) {
  static const char* const kNames[] = {"Z__C_RJTD_20200707000000_SRF_GPV_Ggis1km_Prr60lv_ANAL_grib2.bin",
                                       "Z__C_RJTD_20210817090000_SRF_GPV_Ggis1km_Prr60lv_ANAL_grib2.bin"};
  return std::filesystem::path(OMBRIX_DATA_DIR) / kNames[which];
}

// The message with its accumulation end (product section, octets 35-41) set to the UTC time.
inline std::vector<std::uint8_t> restamped(std::vector<std::uint8_t> message, int year, int month, int day, int hour,
                                           int minute) {
  std::size_t offset = 16;
  while (offset + 5 <= message.size() && message[offset + 4] != 4) {
    offset += (std::size_t{message[offset]} << 24) | (std::size_t{message[offset + 1]} << 16) |
              (std::size_t{message[offset + 2]} << 8) | message[offset + 3];
  }
  std::uint8_t* end = message.data() + offset + 34;
  const int fields[] = {year >> 8, year & 0xff, month, day, hour, minute, 0};
  for (int value : fields) *end++ = static_cast<std::uint8_t>(value);
  return message;
}

// The agency's name for a file ending at the UTC time.
inline std::string agencyName(int year, int month, int day, int hour, int minute) {
  char name[80];
  std::snprintf(name, sizeof name, "Z__C_RJTD_%04d%02d%02d%02d%02d00_SRF_GPV_Ggis1km_Prr60lv_ANAL_grib2.bin", year,
                month, day, hour, minute);
  return name;
}

// count files of the agency's names, one every half hour from 2020-07-01 00:00 UTC on, copies of
// the two real fields in turn; their paths.
inline std::vector<std::filesystem::path> writeHalfHours(const std::filesystem::path& folder, int count) {
  const std::vector<std::uint8_t> fields[] = {readBytes(realField(0)), readBytes(realField(1))};
  std::vector<std::filesystem::path> files;
  for (int i = 0; i < count; ++i) {
    const int day = 1 + i / 48, hour = i % 48 / 2, minute = i % 2 * 30;
    files.push_back(folder / agencyName(2020, 7, day, hour, minute));
    writeBytes(files.back(), restamped(fields[i % 2], 2020, 7, day, hour, minute));
  }
  return files;
}

}  // namespace ombrix::test
