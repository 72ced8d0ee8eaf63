#include "gis/map_band.h"

#include <algorithm>

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

std::vector<float> foldedBandValues(std::span<const std::int16_t> stored, std::span<const std::uint8_t> noData) {
  std::vector<float> values(stored.size());
  for (std::size_t i = 0; i < stored.size(); ++i) {
    const bool none = i < noData.size() && noData[i] != 0;
    values[i] = none ? kMapNoData : static_cast<float>(std::max<std::int16_t>(stored[i], 0) * 0.1);
  }
  return values;
}

core::Status shownMapBand(const core::AnalysisConditions& c, std::vector<float>& values, BandDescription& band) {
  const auto caption = viewer::mapCaptionOf(c.frameLabel);
  band = caption ? describeMap(*caption, c.openRmdPath) : BandDescription{};
  const bool folded = caption && (caption->kind == viewer::MapKind::Sum || caption->kind == viewer::MapKind::Maximum);
  const auto range = folded ? viewer::framesOfCaption(c, *caption) : std::nullopt;
  if (!range) {
    values = storedToBandValues(c.rainGrid);
    return {};
  }
  std::vector<std::uint8_t> noData;
  if (core::Status s = viewer::cellsWithoutData(c, range->first, range->second, noData); !s) return s;
  values = foldedBandValues(c.rainGrid, noData);
  return {};
}

}  // namespace ombrix::gis
