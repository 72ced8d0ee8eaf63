#pragma once
// The map on the screen as its exports need it: its cells, the label that names its files,
// where its cells lie and the folder its files go to.
#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>

#include "core/rmd_dataset.h"

namespace ombrix::core {

struct ShownMap {
  std::span<const std::int16_t> cells;  // row-major over grid
  std::string_view label;               // empty: no map shown
  CellGrid grid;
  std::filesystem::path folder;
};

}  // namespace ombrix::core
