#pragma once
// The map shown (a frame, an accumulation or a maximum in rainGrid) as a GeoTIFF named like the
// current-display CSV with ".tif", replaced without asking like the CSV exports.
#include <filesystem>
#include <string_view>

#include "core/rmd_dataset.h"
#include "core/shown_map.h"
#include "export/current_display_export.h"

namespace ombrix::gis {

std::filesystem::path shownMapGeoTiffPath(const core::ShownMap& map, std::string_view areaText);

// Writes the map at target, with the cells of a sum or maximum that had no data in every frame
// of its range (read again from file) as no data; NoMapShown when no map is shown, status as for
// the CSV.
exports::CurrentDisplayResult exportShownMapGeoTiff(const core::ShownMap& map, const core::RmdDataset& file,
                                                    const std::filesystem::path& target);

}  // namespace ombrix::gis
