#pragma once
// The map with its legend drawn in a panel to its right (texts in the IPA Gothic font the
// set-up installs, drawn by QtGui without a display).
#include "viewer/map_legend.h"
#include "viewer/rgb_surface.h"

namespace ombrix::tool {

inline constexpr int kLegendPanelWidth = 260;
inline constexpr int kScaleBarLongest = kLegendPanelWidth - 40;

viewer::RgbImage withLegendPanel(const viewer::RgbImage& map, const viewer::MapLegend& legend);

}  // namespace ombrix::tool
