#pragma once
// The CSV file of the map shown: one line per cell with its ID, grid indices, longitude,
// latitude and value, named after the region code and the map's label.
#include <filesystem>
#include <string_view>

#include "core/analysis_conditions.h"
#include "core/problem.h"

namespace ombrix::exports {

// Written (status ok), no map drawn yet (NoMapShown: nothing written, nothing to tell the
// user), or refused.
struct CurrentDisplayResult {
  core::Status status;
  std::filesystem::path path;
};

// Whether a map is shown: a frame label and a rainGrid of gridCols x gridRows cells.
bool mapShown(const core::AnalysisConditions& conditions) noexcept;

// openRmdDir / (region code of areaText) + frameLabel + ".CSV".
std::filesystem::path currentDisplayPath(const core::AnalysisConditions& conditions, std::string_view areaText);

// Writes rainGrid under the name above, replacing an existing file only once the new one is
// complete. areaText is the area read-out of the main window.
CurrentDisplayResult exportCurrentDisplay(const core::AnalysisConditions& conditions, std::string_view areaText);

}  // namespace ombrix::exports
