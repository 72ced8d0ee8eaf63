#include "gis/shown_map_geotiff.h"

#include <vector>

#include "gis/geotiff_map.h"
#include "gis/map_band.h"

namespace ombrix::gis {

std::filesystem::path shownMapGeoTiffPath(const core::AnalysisConditions& conditions, std::string_view areaText) {
  return exports::currentDisplayPath(conditions, areaText).replace_extension(".tif");
}

exports::CurrentDisplayResult exportShownMapGeoTiff(const core::AnalysisConditions& c,
                                                    const std::filesystem::path& target) {
  exports::CurrentDisplayResult result;
  if (!exports::mapShown(c)) {
    result.status = {core::Problem::NoMapShown};
    return result;
  }
  result.path = target;
  std::vector<float> values;
  BandDescription band;
  result.status = shownMapBand(c, values, band);
  if (result.status) {
    result.status = writeGeoTiffMap(result.path, {c.grid.columns, c.grid.rows, values}, csvCellCentres(c.grid), band);
  }
  return result;
}

}  // namespace ombrix::gis
