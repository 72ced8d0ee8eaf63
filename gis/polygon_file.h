#pragma once
// Polygons read from any vector file GDAL/OGR reads (GeoJSON, Shapefile, GeoPackage, ...):
// the features of its first layer in order, in longitude and latitude. Coordinates of a
// projected system are taken back to longitude and latitude of its own geodetic datum.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/problem.h"
#include "gis/cell_weights.h"

namespace ombrix::gis {

// Each feature becomes one shape named by the field nameField, else by a field called
// "name", else "polygon N" (N its place in the layer, from 1). Refused with the user's
// message: a file GDAL cannot open as vectors, a layer without polygons, a feature that is
// not a polygon or an empty one, an unknown name field, coordinates that cannot be transformed,
// a GeoJSON coordinate system checkGeoJsonCrs() refuses,
// a shape that checkShape() refuses; and a path that names a pipe or a device (files that
// do not exist, such as GDAL's in-memory ones, are left to GDAL). A file GDAL cannot open and
// coordinates it cannot transform carry GDAL's own reason in the status, where it gave one.
core::Status readPolygonFile(const std::filesystem::path& path, const std::optional<std::string>& nameField,
                             std::vector<Shape>& shapes);

}  // namespace ombrix::gis
