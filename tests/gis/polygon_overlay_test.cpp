// Polygon outlines over a map of the class they are hardest to see on: black, two pixels wide,
// with a white halo that keeps every black pixel away from the map's colours.
#include "gis/polygon_overlay.h"

#include <gtest/gtest.h>

#include "gis/geotiff_map.h"
#include "support/sample_rmd.h"
#include "viewer/intensity_classes.h"

namespace ombrix::gis {
namespace {

TEST(PolygonOverlay, OutlinesAreTwoPixelsBlackWithAWhiteHaloOverEveryClass) {
  test::TempDir dir;
  const auto rmd = dir / "Ka20050701200507.RMD";
  test::writeSampleRmd(rmd, test::sampleGrid(1, 10, 10), 48, test::dayStamps(2005, 7, 1, 1, 1),
                       [](int, int) { return std::int16_t{500}; });
  const core::AnalysisConditions c = test::openedConditions(rmd);
  const MapGeoreference g = csvCellCentres(c.file.grid());
  const auto at = [&](double column, double row) {
    return LonLat{g.westEdge + column * g.cellWidth, g.northEdge - row * g.cellHeight};
  };
  const std::vector<Shape> shapes{{"a", {{{{at(2, 2), at(7.5, 2), at(7.5, 7), at(2, 7)}}}}}};
  const std::uint32_t magenta = viewer::classColour(5).argb();  // 40 - 60 mm/h
  viewer::RgbImage image(800, 600, magenta);
  drawPolygonOutlines(shapes, c.geometry, image.view());
  int black = 0;
  for (int y = 1; y + 1 < image.height(); ++y) {
    for (int x = 1; x + 1 < image.width(); ++x) {
      if (image.pixel(x, y) != kOutlineColour) continue;
      ++black;
      for (const auto& [dx, dy] : {std::pair(-1, 0), std::pair(1, 0), std::pair(0, -1), std::pair(0, 1)}) {
        EXPECT_NE(image.pixel(x + dx, y + dy), magenta) << x << "," << y;
      }
      // Two pixels wide: a black neighbour across the line.
      EXPECT_TRUE(image.pixel(x + 1, y) == kOutlineColour || image.pixel(x - 1, y) == kOutlineColour ||
                  image.pixel(x, y + 1) == kOutlineColour || image.pixel(x, y - 1) == kOutlineColour);
    }
  }
  EXPECT_GT(black, 4 * 2 * 200);  // four sides of some 300 pixels, two wide
}

}  // namespace
}  // namespace ombrix::gis
