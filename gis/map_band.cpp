#include "gis/map_band.h"

#include "core/messages.h"
#include "viewer/range_coverage.h"

namespace ombrix::gis {

namespace {

constexpr std::string_view kSource = "Radar-AMeDAS composite rainfall, ";

}  // namespace

BandDescription describeMap(const viewer::MapCaption& caption, const std::filesystem::path& file) {
  BandDescription band;
  band.unit = viewer::unitOf(caption);
  band.timeJst = viewer::coveredTime(caption, viewer::Zone::Jst);
  band.timeUtc = viewer::coveredTime(caption, viewer::Zone::Utc);
  band.description = viewer::titleOf(caption) + " (" + band.unit + ") " + band.timeJst;
  band.source = std::string(kSource) + std::string(messages::kDataCredit) + ", " + file.filename().string();
  band.classes = viewer::classScaleOf(caption);
  return band;
}

core::Status shownMapBand(const core::AnalysisConditions& c, std::vector<float>& values, BandDescription& band) {
  const auto caption = viewer::mapCaptionOf(c.frameLabel);
  band = caption ? describeMap(*caption, c.openRmdPath) : BandDescription{};
  std::vector<std::int16_t> map;
  if (core::Status s = viewer::shownMapWithoutData(c, map); !s) return s;
  values = storedToBandValues(map);
  return {};
}

}  // namespace ombrix::gis
