#pragma once
// The map shown (a frame, an accumulation or a maximum in rainGrid) as a GeoTIFF named like the
// current-display CSV with ".tif", replaced without asking like the CSV exports.
#include <filesystem>
#include <string_view>

#include "core/analysis_conditions.h"
#include "export/current_display_export.h"

namespace ombrix::gis {

std::filesystem::path shownMapGeoTiffPath(const core::AnalysisConditions& conditions, std::string_view areaText);

// Writes the map shown at target; NoMapShown when no map is shown, status as for the CSV.
exports::CurrentDisplayResult exportShownMapGeoTiff(const core::AnalysisConditions& conditions,
                                                    const std::filesystem::path& target);

}  // namespace ombrix::gis
