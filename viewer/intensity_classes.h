#pragma once
// The colour classes of the two maps (rain rate and accumulated rainfall) and their legends.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace ombrix::viewer {

struct Colour {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  bool operator==(const Colour&) const = default;
  // 0xFFRRGGBB, the pixel format of the drawing surface.
  constexpr std::uint32_t argb() const noexcept {
    return 0xFF000000u | (std::uint32_t{red} << 16) | (std::uint32_t{green} << 8) | std::uint32_t{blue};
  }
};

inline constexpr Colour kWhite{255, 255, 255};
inline constexpr Colour kBlack{0, 0, 0};

// Class 1..7 of a wet value (v != noDataValue and v > 0), 0 for a value without class.
struct ColourClass {
  int number = 0;
  Colour colour = kWhite;  // map colour; white for no class
  bool wet() const noexcept { return number != 0; }
  bool operator==(const ColourClass&) const = default;
};

// Rain rate in 0.1 mm/h: limits 10, 100, 200, 400, 600, 800 (lower inclusive).
ColourClass classifyIntensity(std::int16_t value, std::int16_t noDataValue) noexcept;
// Accumulated rainfall in 0.1 mm: limits 1000, 2000, 4000, 6000, 8000, 10000. Cells without
// class are not drawn on the accumulation map.
ColourClass classifyAccumulation(std::int16_t value, std::int16_t noDataValue) noexcept;

// ShortDuration: the depths of a short duration map (see map_caption.h), in 0.1 mm with the
// rain-rate limits.
enum class ClassScale { Intensity, Accumulation, ShortDuration };

// The lower limits of classes 2..7 of a scale (0.1 mm/h or 0.1 mm) and the map colour of class
// number 1..7.
const std::array<int, 6>& classLimits(ClassScale scale) noexcept;
Colour classColour(int number) noexcept;

// The map colour (argb) of every int16 value, indexed by the value as uint16, with noClass for
// the values without class: the classification as a lookup table for the renderer.
inline constexpr std::size_t kValueCount = 65536;
void fillClassColours(ClassScale scale, std::int16_t noDataValue, std::uint32_t noClass, std::uint32_t* table);

// One entry of a legend: the colour of its swatch and its label.
struct LegendEntry {
  Colour swatch;
  std::string_view label;
};

// The legends of the rain rate and of the accumulation map: the classes from the lowest up,
// then no data.
const std::array<LegendEntry, 8>& intensityLegend();
const std::array<LegendEntry, 8>& accumulationLegend();
const std::array<LegendEntry, 8>& legendOf(ClassScale scale);

}  // namespace ombrix::viewer
