// The map picture: the renderer against its box-by-box reference, the colour classes, and the
// base map lines drawn over it.
#include "viewer/map_renderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <random>
#include <set>
#include <vector>

#include "core/byte_io.h"
#include "support/sample_rmd.h"
#include "viewer/base_map.h"
#include "viewer/intensity_classes.h"

namespace ombrix::viewer {
namespace {

// The picture by definition: one solid box per cell, row-major, both corners included,
// clipped to the surface, over a white surface.
std::int64_t corner(double mapUnits, float half, float zoom, float centre) {
  return static_cast<std::int64_t>(std::floor((mapUnits - static_cast<double>(half)) * static_cast<double>(zoom) +
                                              static_cast<double>(centre)));
}

RgbImage referencePicture(const MapLayer& layer, int width, int height, bool accumulation) {
  RgbImage image(width, height);
  SurfaceView s = image.view();
  const ViewGeometry& g = layer.geometry;
  for (int r = 0; r < layer.rows; ++r) {
    for (int c = 0; c < layer.cols; ++c) {
      const std::int16_t v = layer.grid[static_cast<std::size_t>(r * layer.cols + c)];
      const ColourClass cls = accumulation ? classifyAccumulation(v, layer.noDataValue)
                                           : classifyIntensity(v, layer.noDataValue);
      if (accumulation && !cls.wet()) continue;
      const std::int64_t xa = corner(double(c) * layer.cellWidth, g.mapHalfWidth, g.zoom, g.viewCenterX);
      const std::int64_t xb = corner(double(c + 1) * layer.cellWidth, g.mapHalfWidth, g.zoom, g.viewCenterX);
      const std::int64_t ya = corner(double(r) * layer.cellHeight, g.mapHalfHeight, g.zoom, g.viewCenterY);
      const std::int64_t yb = corner(double(r + 1) * layer.cellHeight, g.mapHalfHeight, g.zoom, g.viewCenterY);
      for (std::int64_t y = std::max<std::int64_t>(std::min(ya, yb), 0); y <= std::min<std::int64_t>(std::max(ya, yb), height - 1); ++y) {
        for (std::int64_t x = std::max<std::int64_t>(std::min(xa, xb), 0); x <= std::min<std::int64_t>(std::max(xa, xb), width - 1); ++x) {
          s.row(static_cast<int>(y))[x] = cls.colour.argb();
        }
      }
    }
  }
  return image;
}

struct Scene {
  std::vector<std::int16_t> grid;
  MapLayer layer;
};

Scene randomScene(std::mt19937& random, int rows, int cols, int width, int height, std::int16_t noData) {
  Scene scene;
  std::uniform_int_distribution<int> value(-3, 12000);
  std::bernoulli_distribution dry(0.3);
  for (int k = 0; k < rows * cols; ++k) {
    scene.grid.push_back(static_cast<std::int16_t>(dry(random) ? value(random) % 3 - 1 : value(random)));
  }
  core::RmdHeader header = test::sampleGrid(1, rows, cols, 128000000, 40000000);
  header.cellLonStep = static_cast<std::int16_t>(std::uniform_int_distribution<int>(5000, 32000)(random));
  header.cellLatStep = static_cast<std::int16_t>(std::uniform_int_distribution<int>(5000, 32000)(random));
  const int scale = std::uniform_int_distribution<int>(1, 2)(random);
  scene.layer = {scene.grid,
                 rows,
                 cols,
                 noData,
                 computeViewGeometry(header, scale, float(width), float(height)),
                 scale * header.cellLonStep,
                 scale * header.cellLatStep};
  return scene;
}

// The fast picture is drawn into a buffer with a wider stride, prefilled with junk.
void expectSamePicture(const MapLayer& layer, int width, int height, const std::string& what) {
  for (const bool accumulation : {false, true}) {
    const int stride = width + 3;
    std::vector<std::uint32_t> buffer(static_cast<std::size_t>(stride) * height, 0x12345678u);
    const SurfaceView fast{buffer.data(), width, height, stride};
    accumulation ? drawAccumulatedMap(layer, fast) : drawIntensityMap(layer, fast);
    const RgbImage reference = referencePicture(layer, width, height, accumulation);
    for (int y = 0; y < height; ++y) {
      ASSERT_TRUE(std::equal(fast.row(y), fast.row(y) + width, reference.pixels().begin() + std::ptrdiff_t{y} * width))
          << what << (accumulation ? " accumulation" : " intensity") << " row " << y;
      ASSERT_EQ(fast.row(y)[width], 0x12345678u);
    }
  }
}

TEST(MapRenderer, EqualsBoxByBoxPictureOnManySizesZoomsAndShifts) {
  std::mt19937 random(7);
  const std::vector<std::array<int, 4>> sizes = {  // rows, cols, width, height
      {1, 1, 1, 1},     {1, 1, 100, 100}, {3, 5, 7, 3},       {2, 9, 689, 593}, {81, 129, 689, 593},
      {145, 241, 689, 593}, {300, 200, 50, 61}, {832, 1248, 689, 593}, {17, 4, 1, 999}, {5, 300, 301, 2}};
  for (const auto& [rows, cols, width, height] : sizes) {
    for (const std::int16_t noData : {std::int16_t{-1}, std::int16_t{9999}}) {
      const Scene scene = randomScene(random, rows, cols, width, height, noData);
      expectSamePicture(scene.layer, width, height, std::to_string(rows) + "x" + std::to_string(cols));
    }
  }
  for (int round = 0; round < 40; ++round) {
    const auto size = [&](int most) { return std::uniform_int_distribution<int>(1, most)(random); };
    const int rows = size(40), cols = size(40), width = size(120), height = size(120);
    Scene scene = randomScene(random, rows, cols, width, height, -1);
    ViewGeometry& g = scene.layer.geometry;
    g.zoom *= std::uniform_real_distribution<float>(0.05f, 20.0f)(random);  // above and below the fitted zoom
    g.viewCenterX += std::uniform_real_distribution<float>(-150, 150)(random);  // corners left of / above 0
    g.viewCenterY += std::uniform_real_distribution<float>(-150, 150)(random);
    expectSamePicture(scene.layer, width, height, "round " + std::to_string(round));
  }
}

TEST(ColourClasses, EveryBoundaryOfBothScales) {
  const std::vector<std::array<int, 3>> cases = {  // value, intensity class, accumulation class
      {-32768, 0, 0}, {-5, 0, 0},   {-1, 0, 0},   {0, 0, 0},     {1, 1, 1},     {9, 1, 1},     {10, 2, 1},
      {99, 2, 1},     {100, 3, 1},  {199, 3, 1},  {200, 4, 1},   {399, 4, 1},   {400, 5, 1},   {599, 5, 1},
      {600, 6, 1},    {799, 6, 1},  {800, 7, 1},  {999, 7, 1},   {1000, 7, 2},  {1999, 7, 2},  {2000, 7, 3},
      {3999, 7, 3},   {4000, 7, 4}, {5999, 7, 4}, {6000, 7, 5},  {7999, 7, 5},  {8000, 7, 6},  {9999, 7, 6},
      {10000, 7, 7},  {32767, 7, 7}};
  for (const auto& [value, intensity, accumulation] : cases) {
    EXPECT_EQ(classifyIntensity(static_cast<std::int16_t>(value), -1).number, intensity) << value;
    EXPECT_EQ(classifyAccumulation(static_cast<std::int16_t>(value), -1).number, accumulation) << value;
  }
  EXPECT_EQ(classifyIntensity(799, -1).colour, (Colour{255, 100, 0}));
  EXPECT_EQ(classifyIntensity(150, -1).colour, (Colour{255, 255, 0}));  // yellow before green
  EXPECT_EQ(classifyIntensity(250, -1).colour, (Colour{0, 255, 0}));
  EXPECT_EQ(classifyIntensity(0, -1).colour, kWhite);
  // A positive no-data marker: only the marker itself is dry.
  EXPECT_FALSE(classifyIntensity(9999, 9999).wet() || classifyAccumulation(9999, 9999).wet());
  EXPECT_EQ(std::pair(classifyIntensity(9998, 9999).number, classifyAccumulation(9998, 9999).number), std::pair(7, 6));
}

TEST(ColourClasses, LookupTableAgreesWithClassificationForEveryValue) {
  std::vector<std::uint32_t> table(kValueCount);
  for (const ClassScale scale : {ClassScale::Intensity, ClassScale::Accumulation}) {
    for (const int noData : {-1, 0, 5, 9999, 32767, -32768}) {
      const auto marker = static_cast<std::int16_t>(noData);
      fillClassColours(scale, marker, 0, table.data());
      for (int v = -32768; v <= 32767; ++v) {
        const auto value = static_cast<std::int16_t>(v);
        const ColourClass cls =
            scale == ClassScale::Intensity ? classifyIntensity(value, marker) : classifyAccumulation(value, marker);
        ASSERT_EQ(table[static_cast<std::uint16_t>(value)], cls.wet() ? cls.colour.argb() : 0u) << v << " " << noData;
      }
    }
  }
}

using test::TempDir;
using Polyline = std::vector<MapPoint>;

// jp.map bytes: count, directory (unread bytes filled with junk), then the point lists in order.
core::Bytes mapBytes(const std::vector<Polyline>& polylines) {
  core::Bytes bytes;
  core::appendI32LE(bytes, static_cast<std::int32_t>(polylines.size()));
  std::size_t offset = 4 + 28 * polylines.size();
  for (const Polyline& line : polylines) {
    for (int k = 0; k < 5; ++k) core::appendI32LE(bytes, 0x5A5A5A5A);
    core::appendI32LE(bytes, static_cast<std::int32_t>(line.size()));
    core::appendI32LE(bytes, static_cast<std::int32_t>(offset));
    offset += 8 * line.size();
  }
  for (const Polyline& line : polylines) {
    for (const MapPoint& p : line) {
      core::appendI32LE(bytes, p.lon);
      core::appendI32LE(bytes, p.lat);
    }
  }
  return bytes;
}

// One map unit per pixel, the map centre (1000, 2000) on the surface centre (50, 50).
ViewGeometry unitGeometry() {
  ViewGeometry g;
  g.zoom = 1;
  g.viewCenterX = g.viewCenterY = 50;
  g.mapCenterLon = 1000;
  g.mapCenterLat = 2000;
  return g;
}

MapPoint at(int x, int y) { return {1000 + x - 50, 2000 - (y - 50)}; }  // the point drawn at pixel (x, y)

std::set<std::pair<int, int>> blackPixels(const RgbImage& image) {
  std::set<std::pair<int, int>> pixels;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixel(x, y) == 0xFF000000u) pixels.insert({x, y});
    }
  }
  return pixels;
}

std::set<std::pair<int, int>> drawn(const core::Bytes& bytes) {
  TempDir dir;
  test::writeBytes(dir / "jp.map", bytes);
  RgbImage image(100, 100);
  drawBaseMap(dir / "jp.map", unitGeometry(), image.view());
  return blackPixels(image);
}

TEST(BaseMap, MapCentreLandsOnViewCentreAndNorthIsUp) {
  ViewGeometry g = unitGeometry();
  g.zoom = 0.25f;
  g.viewCenterX = 50.5f;
  EXPECT_EQ(pointX(g, 1000), 50);
  EXPECT_EQ(pointY(g, 2000), 50);
  EXPECT_EQ(pointY(g, 2004), 49);
  EXPECT_EQ(pointY(g, 1999), 50);  // 50.25 rounds down
}

TEST(BaseMap, ThreePointsDrawTwoSegmentsAndShortOrTruncatedFilesWhatTheyHold) {
  const std::set<std::pair<int, int>> segments = {{10, 10}, {11, 10}, {12, 10}, {13, 10},
                                                  {14, 10}, {14, 11}, {14, 12}, {14, 13}};
  EXPECT_EQ(drawn(mapBytes({{at(10, 10), at(14, 10), at(14, 13)}})), segments);
  const Polyline first{at(10, 10), at(20, 10)};
  const Polyline second{at(10, 30), at(20, 30), at(20, 40)};
  EXPECT_TRUE(drawn(mapBytes({{at(5, 5)}, {}})).empty());
  core::Bytes negative = mapBytes({first});
  core::writeI32LE(negative.data(), -1);
  EXPECT_TRUE(drawn(negative).empty());

  core::Bytes cut = mapBytes({first, second});
  cut.resize(cut.size() - 4);  // the last point loses its latitude
  EXPECT_EQ(drawn(cut), drawn(mapBytes({first, {at(10, 30), at(20, 30)}})));
  core::Bytes offsetPastEnd = mapBytes({first, second});
  core::writeI32LE(offsetPastEnd.data() + 4 + 28 + 24, 1 << 30);
  EXPECT_EQ(drawn(offsetPastEnd), drawn(mapBytes({first})));
}

TEST(BaseMap, ClippingKeepsThePixelsOfTheWholeLine) {
  std::mt19937 random(3);
  std::uniform_int_distribution<int> coordinate(-300, 500);
  for (int round = 0; round < 2000; ++round) {
    const std::int64_t x0 = coordinate(random), y0 = coordinate(random);
    const std::int64_t x1 = coordinate(random), y1 = coordinate(random);
    std::vector<std::uint32_t> whole;  // on a surface holding the whole line, shifted by 300
    appendLinePixels(x0 + 300, y0 + 300, x1 + 300, y1 + 300, 1000, 1000, whole);
    ASSERT_EQ(whole.size(), static_cast<std::size_t>(std::max(std::abs(x1 - x0), std::abs(y1 - y0)) + 1));
    std::vector<std::uint32_t> expected;
    for (std::uint32_t index : whole) {
      const int x = static_cast<int>(index % 1000) - 300;
      const int y = static_cast<int>(index / 1000) - 300;
      if (x >= 0 && x < 64 && y >= 0 && y < 48) expected.push_back(static_cast<std::uint32_t>(y * 64 + x));
    }
    std::vector<std::uint32_t> clipped;
    appendLinePixels(x0, y0, x1, y1, 64, 48, clipped);
    ASSERT_EQ(clipped, expected) << x0 << "," << y0 << " " << x1 << "," << y1;
  }
}

TEST(BaseMapOverlay, ReusesTheRasterUntilFileOrGeometryChange) {
  TempDir dir;
  const auto path = dir / "jp.map";
  test::writeBytes(path, mapBytes({{at(10, 10), at(20, 10)}}));
  BaseMapOverlay overlay;
  RgbImage image(100, 100);
  for (int k = 0; k < 3; ++k) overlay.draw(path, unitGeometry(), image.view());
  EXPECT_EQ(overlay.readCount(), 1);
  EXPECT_EQ(blackPixels(image), drawn(test::readBytes(path)));
  ViewGeometry moved = unitGeometry();
  moved.viewCenterY = 60;
  overlay.draw(path, moved, image.view());
  EXPECT_EQ(overlay.readCount(), 2);

  // A file of the same size rewritten within the clock's resolution: its time is set apart.
  const std::filesystem::file_time_type before = std::filesystem::last_write_time(path);
  test::writeBytes(path, mapBytes({{at(10, 70), at(10, 90)}}));
  std::filesystem::last_write_time(path, before + std::chrono::seconds(1));
  RgbImage replaced(100, 100);
  overlay.draw(path, unitGeometry(), replaced.view());
  EXPECT_EQ(overlay.readCount(), 3);
  EXPECT_EQ(blackPixels(replaced), drawn(test::readBytes(path)));
  std::filesystem::remove(path);
  RgbImage gone(100, 100);
  overlay.draw(path, unitGeometry(), gone.view());
  EXPECT_TRUE(blackPixels(gone).empty());
}

}  // namespace
}  // namespace ombrix::viewer
