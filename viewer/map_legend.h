#pragma once
// What a map fit for a report states beside it: its title and time in Japan Standard Time with
// UTC, the colour classes with their ranges and unit, a scale bar in km at the map's latitude,
// and the data credit. The drawing of the texts belongs to the program that has a font.
#include <string>
#include <vector>

#include "core/view_geometry.h"
#include "viewer/intensity_classes.h"
#include "viewer/map_caption.h"

namespace ombrix::viewer {

inline constexpr Colour kNoDataGrey{160, 160, 160};

struct LegendRow {
  Colour swatch;
  std::string label;
};

// A bar of a round length (1, 2 or 5 times a power of ten km) at most maxPixels long.
struct ScaleBar {
  int pixels = 0;
  int kilometres = 0;
};

struct MapLegend {
  std::string title;
  std::string timeJst;
  std::string timeUtc;
  std::string unit;          // "単位：mm"
  std::vector<LegendRow> rows;  // the classes from the highest down, then no data
  ScaleBar scaleBar;
  std::string credit;
};

// The scale bar of a projection at the latitude of its centre (degrees east per pixel given by
// the zoom, a degree of longitude 111.32 km x cos(latitude)).
ScaleBar scaleBarOf(const core::ViewGeometry& geometry, int maxPixels);

// The legend of a map; no-data cells drawn grey when greyNoData, else white like dry cells.
MapLegend mapLegendOf(const MapCaption& caption, const core::ViewGeometry& geometry, bool greyNoData,
                      int scaleBarPixels);

}  // namespace ombrix::viewer
