#pragma once
// The values and description of the band of a GeoTIFF map. In a GIS file a cell that had no
// data in every frame of a sum or a maximum is no data, not 0 mm (the viewer and the CSV
// exports keep counting no data as 0).
#include <filesystem>
#include <utility>
#include <vector>

#include "core/rmd_dataset.h"
#include "core/shown_map.h"
#include "gis/duration_map.h"
#include "gis/geotiff_map.h"
#include "viewer/map_caption.h"

namespace ombrix::gis {

// The band's description, unit, times, source (the data and its credit) and classes of a map:
// the same whichever file or folder the frames came from.
BandDescription describeMap(const viewer::MapCaption& caption);

// The map shown (read from file where its cells without data are told): its values, with the cells
// without data in every frame of a sum or maximum as no data, and its description (none when
// the label names no map).
core::Status shownMapBand(const core::ShownMap& map, const core::RmdDataset& file, std::vector<float>& values,
                          BandDescription& band);

// Duration maps as the bands of one GeoTIFF, in the order they are added, each described from
// its label; a map of a year or month has its period ("2019", "2019-07") as the band's
// description. The file is opened over the cells of the first map; each map's grid is let go
// once its band is kept, so memory does not grow with the number of maps.
class DurationMapGeoTiff {
 public:
  explicit DurationMapGeoTiff(std::filesystem::path target) : target_(std::move(target)) {}
  core::Status add(DurationMap& map, const core::CellGrid& cells);
  // add() as the sink of the duration map operations.
  DurationMapSink sink() {
    return [this](DurationMap& map, const core::CellGrid& cells) { return add(map, cells); };
  }
  core::Status commit() { return writer_.commit(); }

 private:
  std::filesystem::path target_;
  GeoTiffBandWriter writer_;
  bool opened_ = false;
};

}  // namespace ombrix::gis
