#pragma once
// Builds small GRIB2 rainfall messages in the agency's layout for tests: any grid size, times,
// level table and run-length stream.
#include <cstdint>
#include <vector>

namespace ombrix::test {

struct Grib2MessageSpec {
  std::uint32_t ni = 4, nj = 3;
  std::int32_t firstLat = 36'000'000, firstLon = 139'000'000, dlon = 12'500, dlat = 8'333;
  int year = 2020, month = 7, day = 7, hour = 0, minute = 0;  // reference time = accumulation end
  std::uint8_t bits = 8;
  std::uint16_t maxLevelUsed = 3;
  std::vector<std::uint16_t> representative{0, 4, 10};  // R(1..M)
  std::uint8_t decimalScale = 1;
  std::uint8_t scanningMode = 0;
  std::uint16_t productTemplate = 50008;
  std::vector<std::uint8_t> stream;  // section 7 after its five bytes
};

namespace grib2_detail {
inline void put(std::vector<std::uint8_t>& out, std::uint64_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}
inline void putSection(std::vector<std::uint8_t>& out, int number, const std::vector<std::uint8_t>& body) {
  put(out, body.size() + 5, 4);
  out.push_back(static_cast<std::uint8_t>(number));
  out.insert(out.end(), body.begin(), body.end());
}
inline void putTime(std::vector<std::uint8_t>& out, const Grib2MessageSpec& s) {
  put(out, static_cast<std::uint64_t>(s.year), 2);
  for (int v : {s.month, s.day, s.hour, s.minute, 0}) out.push_back(static_cast<std::uint8_t>(v));
}
}  // namespace grib2_detail

inline std::vector<std::uint8_t> buildGrib2Message(const Grib2MessageSpec& s) {
  using grib2_detail::put;
  using grib2_detail::putSection;
  std::vector<std::uint8_t> body;
  std::vector<std::uint8_t> sections;

  body = {0, 34, 0, 0, 2, 1, 0};  // centre, subcentre, tables, significance of reference time
  grib2_detail::putTime(body, s);
  body.insert(body.end(), {0, 2});
  putSection(sections, 1, body);

  body = {0};
  put(body, std::uint64_t{s.ni} * s.nj, 4);
  body.insert(body.end(), {0, 0, 0, 0, 4, 0xff, 0xff, 0xff, 0xff, 0xff, 1, 0x03, 0xcd, 0x39, 0xfa, 1, 0x03, 0xc9,
                           0xf6, 0xa3});
  // Coordinates are stored sign and magnitude.
  const auto coordinate = [](std::int64_t v) { return v < 0 ? 0x80000000 | -v : v; };
  for (std::int64_t v : {std::int64_t{s.ni}, std::int64_t{s.nj}, std::int64_t{0}, std::int64_t{0xffffffff},
                         coordinate(s.firstLat), coordinate(s.firstLon)}) {
    put(body, static_cast<std::uint32_t>(v), 4);
  }
  body.push_back(0x30);
  const std::int64_t lastLat = s.firstLat - std::int64_t{s.nj - 1} * s.dlat;
  const std::int64_t lastLon = s.firstLon + std::int64_t{s.ni - 1} * s.dlon;
  for (std::int64_t v : {lastLat, lastLon, std::int64_t{s.dlon}, std::int64_t{s.dlat}}) put(body, coordinate(v), 4);
  body.push_back(s.scanningMode);
  putSection(sections, 3, body);

  body = {0, 0};
  put(body, s.productTemplate, 2);
  body.insert(body.end(), {1, 200, 0, 150, 0xff, 0, 0, 10, 0, 0x80, 0, 0, 60, 1, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff,
                           0xff, 0xff, 0xff, 0xff, 0xff});
  grib2_detail::putTime(body, s);
  body.insert(body.end(), 41, 0);
  putSection(sections, 4, body);

  body.clear();
  put(body, std::uint64_t{s.ni} * s.nj, 4);
  put(body, 200, 2);
  body.push_back(s.bits);
  put(body, s.maxLevelUsed, 2);
  put(body, s.representative.size(), 2);
  body.push_back(s.decimalScale);
  for (std::uint16_t r : s.representative) put(body, r, 2);
  putSection(sections, 5, body);

  putSection(sections, 6, {0xff});
  putSection(sections, 7, s.stream);

  std::vector<std::uint8_t> message{'G', 'R', 'I', 'B', 0xff, 0xff, 0, 2};
  put(message, 16 + sections.size() + 4, 8);
  message.insert(message.end(), sections.begin(), sections.end());
  message.insert(message.end(), {'7', '7', '7', '7'});
  return message;
}

// The eight-bit run-length stream of level codes: each run is its level followed by the
// digits of (length - 1) in base 255 - maxLevel, least significant first.
inline std::vector<std::uint8_t> encodeLevelRuns(const std::vector<std::uint8_t>& levels, unsigned maxLevel) {
  std::vector<std::uint8_t> stream;
  const unsigned base = 255 - maxLevel;
  for (std::size_t i = 0; i < levels.size();) {
    std::size_t j = i;
    while (j < levels.size() && levels[j] == levels[i]) ++j;
    stream.push_back(levels[i]);
    for (std::size_t rest = j - i - 1; rest > 0; rest /= base) {
      stream.push_back(static_cast<std::uint8_t>(maxLevel + 1 + rest % base));
    }
    i = j;
  }
  return stream;
}

}  // namespace ombrix::test
