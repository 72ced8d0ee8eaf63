#pragma once
// The CSV file of the map shown: one line per cell with its ID, grid indices, longitude,
// latitude and value, named after the region code and the map's label.
#include <filesystem>
#include <string_view>

#include "core/problem.h"
#include "core/shown_map.h"

namespace ombrix::exports {

// Written (status ok), no map drawn yet (NoMapShown: nothing written, nothing to tell the
// user), or refused.
struct CurrentDisplayResult {
  core::Status status;
  std::filesystem::path path;
};

// Whether a map is shown: a label and the cells of a grid of at least one cell.
bool mapShown(const core::ShownMap& map) noexcept;

// folder / (region code of areaText) + label + ".CSV".
std::filesystem::path currentDisplayPath(const core::ShownMap& map, std::string_view areaText);

// Writes the map's cells under the name above, replacing an existing file only once the new one
// is complete. areaText is the area read-out of the main window.
CurrentDisplayResult exportCurrentDisplay(const core::ShownMap& map, std::string_view areaText);

}  // namespace ombrix::exports
