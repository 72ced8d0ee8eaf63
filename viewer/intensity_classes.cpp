#include "viewer/intensity_classes.h"

#include <algorithm>

namespace ombrix::viewer {

namespace {

constexpr Colour kBlue{0, 0, 255};
constexpr Colour kCyan{0, 255, 255};
constexpr Colour kYellow{255, 255, 0};
constexpr Colour kGreen{0, 255, 0};
constexpr Colour kMagenta{255, 0, 255};
constexpr Colour kOrange{255, 100, 0};
constexpr Colour kRed{255, 0, 0};
constexpr std::array<Colour, 7> kClassColours{kBlue, kCyan, kYellow, kGreen, kMagenta, kOrange, kRed};

// Lower limits of classes 2..7.
constexpr std::array<int, 6> kIntensityLimits{10, 100, 200, 400, 600, 800};
constexpr std::array<int, 6> kAccumulationLimits{1000, 2000, 4000, 6000, 8000, 10000};

ColourClass classify(std::int16_t value, std::int16_t noDataValue, const std::array<int, 6>& limits) noexcept {
  if (value == noDataValue || value <= 0) return {};
  int number = 1;
  for (int limit : limits) number += value >= limit ? 1 : 0;
  return {number, kClassColours[static_cast<std::size_t>(number - 1)]};
}

constexpr std::array<LegendEntry, 8> kIntensityLegend{{
    {kBlue, "1mm/h未満"},
    {kCyan, "1 - 10mm/h"},
    {kYellow, "10 - 20mm/h"},
    {kGreen, "20 - 40mm/h"},
    {kMagenta, "40 - 60mm/h"},
    {Colour{255, 128, 0}, "60 - 80mm/h"},
    {kRed, "80mm/h以上"},
    {kWhite, "Nodata"},
}};

constexpr std::array<LegendEntry, 8> kAccumulationLegend{{
    {kBlue, "100mm未満"},
    {kCyan, "100 - 200mm"},
    {kYellow, "200 - 400mm"},
    {kGreen, "400 -600mm"},
    {Colour{255, 128, 255}, "600 - 800mm"},
    {Colour{255, 128, 0}, "800 - 1000mm"},
    {kRed, "1000mm以上"},
    {kWhite, "Nodata"},
}};

constexpr std::array<LegendEntry, 8> kShortDurationLegend{{
    {kBlue, "1mm未満"},
    {kCyan, "1 - 10mm"},
    {kYellow, "10 - 20mm"},
    {kGreen, "20 - 40mm"},
    {kMagenta, "40 - 60mm"},
    {Colour{255, 128, 0}, "60 - 80mm"},
    {kRed, "80mm以上"},
    {kWhite, "Nodata"},
}};

}  // namespace

const std::array<int, 6>& classLimits(ClassScale scale) noexcept {
  return scale == ClassScale::Accumulation ? kAccumulationLimits : kIntensityLimits;
}

Colour classColour(int number) noexcept { return kClassColours[static_cast<std::size_t>(number - 1)]; }

ColourClass classifyIntensity(std::int16_t value, std::int16_t noDataValue) noexcept {
  return classify(value, noDataValue, kIntensityLimits);
}

ColourClass classifyAccumulation(std::int16_t value, std::int16_t noDataValue) noexcept {
  return classify(value, noDataValue, kAccumulationLimits);
}

void fillClassColours(ClassScale scale, std::int16_t noDataValue, std::uint32_t noClass, std::uint32_t* table) {
  const std::array<int, 6>& limits = classLimits(scale);
  const auto at = [](int value) { return static_cast<std::size_t>(static_cast<std::uint16_t>(value)); };
  std::fill(table + at(-32768), table + kValueCount, noClass);  // -32768 .. -1
  std::fill(table, table + 1, noClass);                        // 0
  int from = 1;
  for (std::size_t k = 0; k <= limits.size(); ++k) {
    const int to = k < limits.size() ? limits[k] : 32768;
    std::fill(table + at(from), table + at(from) + (to - from), kClassColours[k].argb());
    from = to;
  }
  table[at(noDataValue)] = noClass;
}

const std::array<LegendEntry, 8>& intensityLegend() { return kIntensityLegend; }
const std::array<LegendEntry, 8>& accumulationLegend() { return kAccumulationLegend; }

const std::array<LegendEntry, 8>& legendOf(ClassScale scale) {
  switch (scale) {
    case ClassScale::Accumulation:
      return kAccumulationLegend;
    case ClassScale::ShortDuration:
      return kShortDurationLegend;
    default:
      return kIntensityLegend;
  }
}

}  // namespace ombrix::viewer
