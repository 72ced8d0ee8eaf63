#include "viewer/map_legend.h"

#include <array>
#include <cmath>
#include <numbers>

#include "core/messages.h"

namespace ombrix::viewer {

namespace {

constexpr double kKilometresPerDegree = 111.32;  // along the equator
constexpr std::array<int, 3> kRoundSteps{1, 2, 5};

}  // namespace

ScaleBar scaleBarOf(const core::ViewGeometry& g, int maxPixels) {
  const double latitude = static_cast<double>(g.mapCenterLat) / 1e6;
  const double pixelsPerKilometre =
      static_cast<double>(g.zoom) * 1e6 / (kKilometresPerDegree * std::cos(latitude * std::numbers::pi / 180));
  ScaleBar best;
  if (!(pixelsPerKilometre > 0) || !std::isfinite(pixelsPerKilometre)) return best;
  for (int power = 1; power <= 10000; power *= 10) {
    for (const int step : kRoundSteps) {
      const int pixels = static_cast<int>(std::lround(step * power * pixelsPerKilometre));
      if (pixels <= maxPixels) best = {pixels, step * power};
    }
  }
  return best;
}

MapLegend mapLegendOf(const MapCaption& caption, const core::ViewGeometry& geometry, bool greyNoData,
                      int scaleBarPixels) {
  MapLegend legend;
  legend.title = titleOf(caption);
  legend.timeJst = coveredTime(caption, Zone::Jst);
  legend.timeUtc = coveredTime(caption, Zone::Utc);
  legend.unit = std::string(messages::kLegendUnitPrefix) + std::string(unitOf(caption));
  const ClassScale scale = classScaleOf(caption);
  const auto& labels = legendOf(scale);
  for (int number = static_cast<int>(classLimits(scale).size()) + 1; number >= 1; --number) {
    legend.rows.push_back({classColour(number), std::string(labels[static_cast<std::size_t>(number - 1)].label)});
  }
  legend.rows.push_back({greyNoData ? kNoDataGrey : kWhite, std::string(messages::kTipNoData)});
  legend.scaleBar = scaleBarOf(geometry, scaleBarPixels);
  legend.credit = messages::kDataCredit;
  return legend;
}

}  // namespace ombrix::viewer
