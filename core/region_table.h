#pragma once
// The nine regions of the area dialog, in option order, with their two-letter codes.
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace ombrix::core {

struct AreaBounds {
  std::int32_t westLon;
  std::int32_t northLat;
  std::int32_t eastLon;
  std::int32_t southLat;
  bool operator==(const AreaBounds&) const = default;
};

struct Region {
  std::string_view name;
  std::string_view code;
  std::optional<AreaBounds> bounds;  // none for the user-entered area
};

inline constexpr int kRegionCount = 9;
inline constexpr int kUserAreaIndex = 8;

const std::array<Region, kRegionCount>& regionTable();

// Bounds of option index 0..7; nothing for index 8 or an index outside the table.
std::optional<AreaBounds> regionPreset(int index);
// Code of a region name, compared exactly; "My" for anything that is not one of the eight fixed regions.
std::string_view regionCodeForName(std::string_view name);
// Name of one of the nine codes, compared exactly; nothing for any other text.
std::optional<std::string_view> regionNameForCode(std::string_view code);

}  // namespace ombrix::core
