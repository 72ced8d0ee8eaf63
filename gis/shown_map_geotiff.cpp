#include "gis/shown_map_geotiff.h"

#include <vector>

#include "gis/geotiff_map.h"
#include "gis/map_band.h"

namespace ombrix::gis {

std::filesystem::path shownMapGeoTiffPath(const core::ShownMap& map, std::string_view areaText) {
  return exports::currentDisplayPath(map, areaText).replace_extension(".tif");
}

exports::CurrentDisplayResult exportShownMapGeoTiff(const core::ShownMap& map, const core::RmdDataset& file,
                                                    const std::filesystem::path& target) {
  exports::CurrentDisplayResult result;
  if (!exports::mapShown(map)) {
    result.status = {core::Problem::NoMapShown};
    return result;
  }
  result.path = target;
  std::vector<float> values;
  BandDescription band;
  result.status = shownMapBand(map, file, values, band);
  if (result.status) {
    result.status =
        writeGeoTiffMap(result.path, {map.grid.columns, map.grid.rows, values}, csvCellCentres(map.grid), band);
  }
  return result;
}

}  // namespace ombrix::gis
