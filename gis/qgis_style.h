#pragma once
// A QGIS layer style (.qml) beside a GeoTIFF map: the program's colour classes as a discrete
// pseudocolour ramp of band 1, so the map opened in QGIS looks like the map in the viewer.
#include <filesystem>
#include <string>
#include <string_view>

#include "viewer/intensity_classes.h"

namespace ombrix::gis {

// MAP.tif -> MAP.qml, the name QGIS looks for when it opens MAP.tif.
std::filesystem::path qgisStylePathBeside(const std::filesystem::path& map);

// The style of a band in the scale's unit (stored value x 0.1): no colour at and below 0, then
// the seven classes with the legend's labels. Class limits are lower-inclusive; QGIS's
// discrete items are upper-inclusive, so each item ends half a step of 0.1 below the next limit.
std::string qgisStyle(viewer::ClassScale scale);

}  // namespace ombrix::gis
