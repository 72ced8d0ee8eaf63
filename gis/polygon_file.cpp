#include "gis/polygon_file.h"

#include <gdal_priv.h>
#include <ogr_spatialref.h>
#include <ogrsf_frmts.h>

#include <sys/stat.h>

#include <memory>

#include "gis/gdal_session.h"
#include "gis/geojson_crs.h"

namespace ombrix::gis {

namespace {

Ring ringOf(const OGRLinearRing& ring) {
  Ring points;
  const int count = ring.getNumPoints();
  points.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) points.push_back({ring.getX(i), ring.getY(i)});
  if (points.size() > 1 && points.front().lon == points.back().lon && points.front().lat == points.back().lat) {
    points.pop_back();
  }
  return points;
}

void addPolygon(const OGRPolygon& polygon, Shape& shape) {
  if (polygon.IsEmpty()) return;
  Polygon part;
  part.rings.push_back(ringOf(*polygon.getExteriorRing()));
  for (int i = 0; i < polygon.getNumInteriorRings(); ++i) part.rings.push_back(ringOf(*polygon.getInteriorRing(i)));
  shape.parts.push_back(std::move(part));
}

// The polygons of a geometry; false when it holds anything else.
bool addGeometry(const OGRGeometry& geometry, Shape& shape) {
  switch (wkbFlatten(geometry.getGeometryType())) {
    case wkbPolygon:
      addPolygon(*geometry.toPolygon(), shape);
      return true;
    case wkbMultiPolygon:
      for (const OGRPolygon* polygon : *geometry.toMultiPolygon()) addPolygon(*polygon, shape);
      return true;
    case wkbCurvePolygon:
    case wkbMultiSurface: {
      const std::unique_ptr<OGRGeometry> linear(geometry.getLinearGeometry());
      return linear && addGeometry(*linear, shape);
    }
    default:
      return false;
  }
}

struct TransformDeleter {
  void operator()(OGRCoordinateTransformation* t) const { OGRCoordinateTransformation::DestroyCT(t); }
};
using Transform = std::unique_ptr<OGRCoordinateTransformation, TransformDeleter>;

// Projected coordinates go back to longitude and latitude of the same datum; others stay.
bool transformFor(const OGRSpatialReference* source, Transform& transform) {
  if (source == nullptr || !source->IsProjected()) return true;
  OGRSpatialReference from(*source);
  std::unique_ptr<OGRSpatialReference> to(source->CloneGeogCS());
  if (!to) return false;
  from.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  to->SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  transform.reset(OGRCreateCoordinateTransformation(&from, to.get()));
  return transform != nullptr;
}

// A pipe, device or socket in place of the file would make the library wait or read forever.
bool fileOrFolder(const std::filesystem::path& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) != 0 || S_ISREG(status.st_mode) || S_ISDIR(status.st_mode);
}

}  // namespace

core::Status readPolygonFile(const std::filesystem::path& path, const std::optional<std::string>& nameField,
                             std::vector<Shape>& shapes) {
  if (!fileOrFolder(path)) return {core::Problem::PolygonFileUnreadable, path};
  const GdalSession gdal;
  if (core::Status crs = checkGeoJsonCrs(path); !crs) return crs;
  constexpr unsigned kOpenFlags = GDAL_OF_VECTOR | GDAL_OF_READONLY | GDAL_OF_VERBOSE_ERROR;  // GDAL says why not
  GDALDatasetUniquePtr dataset(GDALDataset::Open(path.c_str(), kOpenFlags, nullptr, nullptr, nullptr));
  if (!dataset || dataset->GetLayerCount() < 1) return {core::Problem::PolygonFileUnreadable, path, {.reason = gdal.reason()}};
  OGRLayer* layer = dataset->GetLayer(0);
  const int nameIndex = layer->GetLayerDefn()->GetFieldIndex(nameField ? nameField->c_str() : "name");
  if (nameField && nameIndex < 0) return {core::Problem::PolygonNameFieldUnknown, {}, {.name = *nameField}};
  Transform transform;
  if (!transformFor(layer->GetSpatialRef(), transform)) {
    return {core::Problem::PolygonNotTransformable, path, {.reason = gdal.reason()}};
  }

  std::vector<Shape> read;
  layer->ResetReading();
  for (const auto& feature : *layer) {
    Shape shape;
    const bool named = nameIndex >= 0 && feature->IsFieldSetAndNotNull(nameIndex);
    shape.name = named ? feature->GetFieldAsString(nameIndex) : "polygon " + std::to_string(read.size() + 1);
    OGRGeometry* geometry = feature->GetGeometryRef();
    if (geometry != nullptr && transform && geometry->transform(transform.get()) != OGRERR_NONE) {
      return {core::Problem::PolygonNotTransformable, path, {.reason = gdal.reason()}};
    }
    if (geometry == nullptr || !addGeometry(*geometry, shape)) return {core::Problem::PolygonFileNotPolygon, path};
    if (shape.parts.empty()) return {core::Problem::PolygonFileEmpty, path};
    if (core::Status checked = checkShape(shape); !checked) return checked;
    read.push_back(std::move(shape));
  }
  if (read.empty()) return {core::Problem::PolygonFileEmpty, path};
  shapes = std::move(read);
  return {};
}

}  // namespace ombrix::gis
