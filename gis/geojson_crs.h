#pragma once
// The coordinate systems a GeoJSON file declares in its "crs" members, checked before GDAL
// resolves them. GDAL takes any text that is not an authority code for a CRS name and searches
// the whole PROJ database for it (seconds on a mistyped name), and reads the coordinates as
// WGS 84 longitude and latitude when the search finds nothing.
#include <filesystem>

#include "core/problem.h"

namespace ombrix::gis {

// Every "crs" member of the file at path (a GDAL path: in-memory files too), at any depth, when
// GDAL reads the file as GeoJSON, must be null or name an EPSG code that GDAL knows, or OGC's
// CRS84, CRS83 or CRS27: by
// {"type": "name", "properties": {"name": N}} with N "EPSG:4326", "urn:ogc:def:crs:EPSG::4326",
// "http://www.opengis.net/def/crs/EPSG/0/4326", "urn:ogc:def:crs:OGC:1.3:CRS84" and the like,
// by {"type": "EPSG", "properties": {"code": 4326}} or {"type": "OGC", "properties": {"urn": N}}.
// Anything else is refused with PolygonCrsUnknown and what the file declared.
core::Status checkGeoJsonCrs(const std::filesystem::path& path);

}  // namespace ombrix::gis
