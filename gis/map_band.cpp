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

core::Status DurationMapGeoTiff::add(DurationMap& map, const core::CellGrid& cells) {
  if (!opened_) {
    if (core::Status s = writer_.open(target_, cells.columns, cells.rows, csvCellCentres(cells)); !s) return s;
    opened_ = true;
  }
  const auto caption = viewer::mapCaptionOf(map.label);
  BandDescription band = caption ? describeMap(*caption) : BandDescription{};
  if (!map.period.empty()) band.description = map.period;
  const core::Status added = writer_.add(map.grid, band);
  std::vector<std::int16_t>().swap(map.grid);
  return added;
}

}  // namespace ombrix::gis
