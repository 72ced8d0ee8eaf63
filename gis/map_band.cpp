#include "gis/map_band.h"

#include "core/messages.h"
#include "viewer/range_coverage.h"

namespace ombrix::gis {

namespace {

constexpr std::string_view kSource = "Radar-AMeDAS composite rainfall, ";

}  // namespace

BandDescription describeMap(const viewer::MapCaption& caption) {
  BandDescription band;
  band.unit = viewer::unitOf(caption);
  band.timeJst = viewer::coveredTime(caption, viewer::Zone::Jst);
  band.timeUtc = viewer::coveredTime(caption, viewer::Zone::Utc);
  band.description = viewer::titleOf(caption) + " (" + band.unit + ") " + band.timeJst;
  band.source = std::string(kSource) + std::string(messages::kDataCredit);
  band.classes = viewer::classScaleOf(caption);
  return band;
}

core::Status shownMapBand(const core::ShownMap& map, const core::RmdDataset& file, std::vector<float>& values,
                          BandDescription& band) {
  const auto caption = viewer::mapCaptionOf(map.label);
  band = caption ? describeMap(*caption) : BandDescription{};
  std::vector<std::int16_t> cells;
  if (core::Status s = viewer::shownMapWithoutData(map, file, cells); !s) return s;
  values = storedToBandValues(cells);
  return {};
}

core::Status writeDurationMapGeoTiff(const std::filesystem::path& target, std::vector<DurationMap> maps,
                                     const core::CellGrid& cells) {
  std::vector<std::vector<float>> values;
  std::vector<MapBand> bands;
  values.reserve(maps.size());
  for (DurationMap& map : maps) {
    values.push_back(storedToBandValues(map.grid));
    std::vector<std::int16_t>().swap(map.grid);
    const auto caption = viewer::mapCaptionOf(map.label);
    bands.push_back({values.back(), caption ? describeMap(*caption) : BandDescription{}});
    if (!map.period.empty()) bands.back().description.description = map.period;
  }
  return writeGeoTiffBands(target, cells.columns, cells.rows, bands, csvCellCentres(cells));
}

}  // namespace ombrix::gis
