#pragma once
// The figure of the earth a grid's latitudes and longitudes refer to, as a NetCDF crs variable
// states it.
#include <optional>
#include <string>

namespace ombrix::gis {

struct EarthShape {
  double semiMajorAxis = 0;      // metres; the radius of a sphere
  double inverseFlattening = 0;  // 0 for a sphere
  std::string statement;         // where the figure comes from, written as the crs comment
};

// What is assumed where the source names no figure: WGS 84, as the GeoTIFF maps' EPSG:4326.
EarthShape assumedEarthShape();

// The figure named by a GRIB2 grid definition's shape of the earth (code table 3.2); nothing
// for a code that names no fixed figure (a radius or axes given in the message, or reserved).
std::optional<EarthShape> grib2EarthShape(int code);

}  // namespace ombrix::gis
