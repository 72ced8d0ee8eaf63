// The shown map as GeoTIFF read back through GDAL, against the current-display CSV.
#include "gis/geotiff_map.h"

#include <gdal.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/number_text.h"
#include "export/current_display_export.h"
#include "gis/shown_map_geotiff.h"
#include "support/sample_rmd.h"
#include "support/test_support.h"
#include "viewer/frame_loading.h"

namespace ombrix::gis {
namespace {

TEST(GeoTiffMap, ShownMapIsACogWhoseCellCentresAndValuesAreThoseOfTheCsv) {
  test::TempDir dir;
  const auto rmd = dir / "Ka20050701200507.RMD";
  test::writeSampleRmd(rmd, test::sampleGrid(2, 3, 5), 24, test::dayStamps(2005, 7, 1, 1, 24),
                       [](int k, int cell) { return static_cast<std::int16_t>(cell * 11 - 4 + k); });
  core::AnalysisConditions c = test::openedConditions(rmd);
  std::vector<std::int16_t> frameGrid;
  ASSERT_TRUE(viewer::showFrame(c, 1, frameGrid));
  const auto csv = exports::exportCurrentDisplay(c, c.areaName);
  const auto tif = exportShownMapGeoTiff(c, shownMapGeoTiffPath(c, c.areaName));
  ASSERT_EQ(tif.outcome, exports::CurrentDisplayOutcome::Written) << tif.status.message;
  EXPECT_EQ(tif.path, std::filesystem::path(csv.path).replace_extension(".tif"));

  GDALAllRegister();
  GDALDatasetH dataset = GDALOpen(tif.path.c_str(), GA_ReadOnly);
  ASSERT_NE(dataset, nullptr);
  EXPECT_STREQ(GDALGetMetadataItem(dataset, "LAYOUT", "IMAGE_STRUCTURE"), "COG");
  EXPECT_STREQ(GDALGetMetadataItem(dataset, "COMPRESSION", "IMAGE_STRUCTURE"), "DEFLATE");
  double t[6];
  ASSERT_EQ(GDALGetGeoTransform(dataset, t), CE_None);
  GDALRasterBandH band = GDALGetRasterBand(dataset, 1);
  EXPECT_EQ(GDALGetRasterDataType(band), GDT_Float32);
  EXPECT_EQ(GDALGetRasterNoDataValue(band, nullptr), -1.0);
  std::vector<float> values(15);
  ASSERT_EQ(GDALRasterIO(band, GF_Read, 0, 0, 5, 3, values.data(), 5, 3, GDT_Float32, 0, 0), CE_None);
  GDALClose(dataset);

  const auto lines = test::crlfLines(test::readText(csv.path));
  ASSERT_EQ(lines.size(), 16u);
  for (std::size_t i = 1; i < lines.size(); ++i) {
    int id, m, n, value;
    char keido[32], ido[32];
    ASSERT_EQ(std::sscanf(lines[i].c_str(), "%d,%d,%d,%31[^,],%31[^,],%d", &id, &m, &n, keido, ido, &value), 6);
    EXPECT_EQ(core::formatSingle(static_cast<float>(t[0] + (n + 0.5) * t[1])), keido);
    EXPECT_EQ(core::formatSingle(static_cast<float>(t[3] + (m + 0.5) * t[5])), ido);
    EXPECT_EQ(values[static_cast<std::size_t>(id)], value < 0 ? -1.0f : static_cast<float>(value * 0.1)) << id;
  }
}

TEST(GeoTiffMap, FailedWriteLeavesNothingAndNoMapWritesNothing) {
  test::TempDir dir;
  std::filesystem::create_directory(dir / "taken.tif");
  const std::vector<float> values(4, 1.0f);
  EXPECT_FALSE(writeGeoTiffMap(dir / "taken.tif", {2, 2, values}, csvCellCentres(139'000'000, 36'000'000, 100, 100)));
  EXPECT_TRUE(std::filesystem::is_directory(dir / "taken.tif"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
  EXPECT_EQ(exportShownMapGeoTiff(core::AnalysisConditions{}, dir / "none.tif").outcome,
            exports::CurrentDisplayOutcome::NothingShown);
}

}  // namespace
}  // namespace ombrix::gis
