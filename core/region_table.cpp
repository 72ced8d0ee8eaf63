#include "core/region_table.h"

namespace ombrix::core {

namespace {
constexpr std::int32_t deg(double degrees) { return static_cast<std::int32_t>(degrees * 1'000'000); }
constexpr AreaBounds box(double west, double north, double east, double south) {
  return {deg(west), deg(north), deg(east), deg(south)};
}
}  // namespace

const std::array<Region, kRegionCount>& regionTable() {
  static const std::array<Region, kRegionCount> table{{
      {"北海道", "Ho", box(139.0, 46.0, 147.0, 41.0)},
      {"東北", "To", box(138.0, 42.0, 142.5, 36.0)},
      {"関東", "Ka", box(137.0, 39.0, 141.5, 34.0)},
      {"近畿", "Ki", box(134.0, 38.0, 138.0, 33.0)},
      {"中国・四国", "Ch", box(130.0, 37.5, 136.0, 32.0)},
      {"九州", "Ky", box(128.0, 35.0, 133.0, 30.0)},
      {"沖縄", "Ok", box(121.5, 31.0, 130.5, 22.0)},
      {"全国", "AJ", box(121.5, 47.0, 147.5, 21.0)},
      {"任意のエリア", "My", std::nullopt},
  }};
  return table;
}

std::optional<AreaBounds> regionPreset(int index) {
  if (index < 0 || index >= kUserAreaIndex) return std::nullopt;
  return regionTable()[static_cast<std::size_t>(index)].bounds;
}

std::string_view regionCodeForName(std::string_view name) {
  for (int i = 0; i < kUserAreaIndex; ++i) {
    const Region& region = regionTable()[static_cast<std::size_t>(i)];
    if (region.name == name) return region.code;
  }
  return regionTable()[kUserAreaIndex].code;
}

std::optional<std::string_view> regionNameForCode(std::string_view code) {
  for (const Region& region : regionTable()) {
    if (region.code == code) return region.name;
  }
  return std::nullopt;
}

}  // namespace ombrix::core
