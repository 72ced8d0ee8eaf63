#include "viewer/base_map.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <set>

#include "core/byte_io.h"
#include "support/test_support.h"

namespace ombrix::viewer {
namespace {

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

TEST(BaseMap, ThreePointsDrawTwoSegments) {
  const std::set<std::pair<int, int>> expected = {{10, 10}, {11, 10}, {12, 10}, {13, 10},
                                                  {14, 10}, {14, 11}, {14, 12}, {14, 13}};
  EXPECT_EQ(drawn(mapBytes({{at(10, 10), at(14, 10), at(14, 13)}})), expected);
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

TEST(BaseMap, ShortAndTruncatedFilesDrawWhatTheyHold) {
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
