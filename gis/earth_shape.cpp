#include "gis/earth_shape.h"

#include <array>

namespace ombrix::gis {

namespace {

struct Figure {
  int code;
  double semiMajorAxis;
  double inverseFlattening;
  const char* name;
};

constexpr std::array<Figure, 6> kGrib2Figures{{
    {0, 6367470.0, 0, "sphere of radius 6367470 m"},
    {2, 6378160.0, 297.0, "IAU 1965 ellipsoid"},
    {4, 6378137.0, 298.257222101, "GRS 80 ellipsoid"},
    {5, 6378137.0, 298.257223563, "WGS 84 ellipsoid"},
    {6, 6371229.0, 0, "sphere of radius 6371229 m"},
    {8, 6371200.0, 0, "sphere of radius 6371200 m"},
}};

}  // namespace

EarthShape assumedEarthShape() {
  return {6378137.0, 298.257223563,
          "The source does not state the figure of the earth; WGS 84 is assumed (EPSG:4326, as in the "
          "GeoTIFF maps). Positions are those of the source grid, not transformed."};
}

std::optional<EarthShape> grib2EarthShape(int code) {
  for (const Figure& figure : kGrib2Figures) {
    if (figure.code == code) {
      return EarthShape{figure.semiMajorAxis, figure.inverseFlattening,
                        std::string("Figure of the earth from the GRIB2 grid definition (shape of the earth ") +
                            std::to_string(code) + "): " + figure.name + "."};
    }
  }
  return std::nullopt;
}

}  // namespace ombrix::gis
