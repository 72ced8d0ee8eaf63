#include "gis/polygon_file.h"

#include <gdal_priv.h>
#include <ogr_spatialref.h>
#include <ogrsf_frmts.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "core/messages.h"
#include "support/test_support.h"

namespace ombrix::gis {
namespace {

using test::TempDir;

constexpr LonLat kCorners[] = {{139.25, 35.5}, {139.75, 35.5}, {139.75, 36.0}, {139.25, 36.0}};

// A shapefile in JGD2011 / UTM zone 54N holding the rectangle above, projected point by point,
// named by a "name" field ("荒川") and a "code" field; a second feature has no name.
void writeProjectedShapefile(const std::filesystem::path& path) {
  GDALAllRegister();
  GDALDriver* driver = GetGDALDriverManager()->GetDriverByName("ESRI Shapefile");
  ASSERT_NE(driver, nullptr);
  GDALDatasetUniquePtr dataset(driver->Create(path.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
  ASSERT_TRUE(dataset);
  OGRSpatialReference utm, lonLat;
  ASSERT_EQ(utm.importFromEPSG(6691), OGRERR_NONE);
  ASSERT_EQ(lonLat.importFromEPSG(6668), OGRERR_NONE);
  utm.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  lonLat.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  const std::unique_ptr<OGRCoordinateTransformation> project(OGRCreateCoordinateTransformation(&lonLat, &utm));
  char encoding[] = "ENCODING=UTF-8";
  char* options[] = {encoding, nullptr};
  OGRLayer* layer = dataset->CreateLayer("basins", &utm, wkbPolygon, options);
  ASSERT_NE(layer, nullptr);
  OGRFieldDefn name("name", OFTString), code("code", OFTString);
  ASSERT_EQ(layer->CreateField(&name), OGRERR_NONE);
  ASSERT_EQ(layer->CreateField(&code), OGRERR_NONE);
  for (int f = 0; f < 2; ++f) {
    OGRLinearRing ring;
    for (const LonLat& corner : kCorners) ring.addPoint(corner.lon, corner.lat);
    ring.closeRings();
    ASSERT_EQ(ring.transform(project.get()), OGRERR_NONE);
    OGRPolygon polygon;
    polygon.addRing(&ring);
    OGRFeature feature(layer->GetLayerDefn());
    if (f == 0) feature.SetField("name", "荒川");
    feature.SetField("code", f == 0 ? "A1" : "B2");
    feature.SetGeometry(&polygon);
    ASSERT_EQ(layer->CreateFeature(&feature), OGRERR_NONE);
  }
}

TEST(PolygonFile, ProjectedCoordinatesComeBackAsLongitudeAndLatitudeWithTheirNames) {
  TempDir dir;
  const auto path = dir / "basins.shp";
  writeProjectedShapefile(path);
  std::vector<Shape> shapes;
  ASSERT_TRUE(readPolygonFile(path, std::nullopt, shapes));
  ASSERT_EQ(shapes.size(), 2U);
  EXPECT_EQ(shapes[0].name, "荒川");
  EXPECT_EQ(shapes[1].name, "polygon 2");
  for (const Shape& shape : shapes) {
    ASSERT_EQ(shape.parts.size(), 1U);
    ASSERT_EQ(shape.parts[0].rings.size(), 1U);
    const Ring& ring = shape.parts[0].rings[0];
    ASSERT_EQ(ring.size(), 4U);
    // The shapefile keeps the corners but may turn the ring round.
    for (const LonLat& corner : kCorners) {
      EXPECT_EQ(std::count_if(ring.begin(), ring.end(),
                              [&](const LonLat& p) {
                                return std::abs(p.lon - corner.lon) < 1e-9 && std::abs(p.lat - corner.lat) < 1e-9;
                              }),
                1);
    }
  }
  ASSERT_TRUE(readPolygonFile(path, "code", shapes));
  EXPECT_EQ(shapes[0].name, "A1");
  EXPECT_EQ(shapes[1].name, "B2");
}

TEST(PolygonFile, RefusalsNameTheFileOrTheField) {
  TempDir dir;
  const auto points = dir / "points.geojson";
  test::writeText(points, R"({"type":"FeatureCollection","features":[{"type":"Feature","properties":{},)"
                          R"("geometry":{"type":"Point","coordinates":[139,35]}}]})");
  const auto empty = dir / "empty.geojson";
  test::writeText(empty, R"({"type":"FeatureCollection","features":[]})");
  const auto text = dir / "notes.txt";
  test::writeText(text, "not a vector file\n");
  struct Case {
    std::filesystem::path path;
    std::optional<std::string> field;
    std::string message;
  };
  const std::vector<Case> cases{
      {dir / "missing.shp", std::nullopt, std::string(messages::kPolygonFileUnreadable) + (dir / "missing.shp").string()},
      {text, std::nullopt, std::string(messages::kPolygonFileUnreadable) + text.string()},
      {points, std::nullopt, std::string(messages::kPolygonFileNotPolygon) + points.string()},
      {empty, std::nullopt, std::string(messages::kPolygonFileEmpty) + empty.string()},
      {points, "basin", std::string(messages::kPolygonNameFieldUnknown) + "basin"},
  };
  for (const Case& c : cases) {
    std::vector<Shape> shapes{Shape{"kept", {}}};
    const core::Status status = readPolygonFile(c.path, c.field, shapes);
    EXPECT_FALSE(status);
    EXPECT_EQ(status.message, c.message);
    EXPECT_EQ(shapes.size(), 1U);
  }
}

}  // namespace
}  // namespace ombrix::gis
