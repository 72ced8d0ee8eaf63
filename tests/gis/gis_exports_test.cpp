// NetCDF exports and cubes read back through NetCDF-C and the shown map as GeoTIFF read back
// through GDAL: values, coordinates and times against what the CSV exports write, the archive
// form against the RMD form, noisy frames, and refusals and failures that write nothing.
#include "gis/netcdf_export.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <cpl_minixml.h>
#include <gdal.h>
#include <ogr_srs_api.h>
#include <netcdf.h>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "core/messages.h"
#include "core/number_text.h"
#include "core/period_check.h"
#include "core/preprocess_run.h"
#include "export/current_display_export.h"
#include "gis/gdal_session.h"
#include "gis/geotiff_map.h"
#include "gis/netcdf_cube.h"
#include "gis/qgis_style.h"
#include "gis/shown_map_geotiff.h"
#include "support/fault_injection.h"
#include "support/reliability_inputs.h"
#include "support/sample_rmd.h"
#include "viewer/frame_accumulation.h"
#include "viewer/frame_loading.h"

namespace ombrix::gis {
namespace {

struct Cube {
  std::vector<double> time, lat, lon;
  std::vector<short> rain;
};

// A coordinate variable: named like its dimension.
std::vector<double> doubles(int file, const char* name) {
  int variable = -1, dimension = -1;
  std::size_t length = 0;
  EXPECT_EQ(nc_inq_varid(file, name, &variable) | nc_inq_dimid(file, name, &dimension), NC_NOERR) << name;
  EXPECT_EQ(nc_inq_dimlen(file, dimension, &length), NC_NOERR);
  std::vector<double> values(length);
  EXPECT_EQ(nc_get_var_double(file, variable, values.data()), NC_NOERR);
  return values;
}

Cube readCube(const std::filesystem::path& path) {
  int file = -1;
  EXPECT_EQ(nc_open(path.c_str(), NC_NOWRITE, &file), NC_NOERR) << path;
  if (file < 0) return {};
  Cube cube{doubles(file, "time"), doubles(file, "lat"), doubles(file, "lon"), {}};
  int rain = -1;
  EXPECT_EQ(nc_inq_varid(file, "rain", &rain), NC_NOERR);
  cube.rain.resize(cube.time.size() * cube.lat.size() * cube.lon.size());
  EXPECT_EQ(nc_get_var_short(file, rain, cube.rain.data()), NC_NOERR);
  nc_close(file);
  return cube;
}

// A text attribute of a variable ("" for the file's own) read back through NetCDF-C.
std::string textAttribute(const std::filesystem::path& path, const char* variable, const char* name) {
  int file = -1, id = NC_GLOBAL;
  std::size_t length = 0;
  std::string text;
  EXPECT_EQ(nc_open(path.c_str(), NC_NOWRITE, &file), NC_NOERR) << path;
  if (*variable != '\0') {
    EXPECT_EQ(nc_inq_varid(file, variable, &id), NC_NOERR) << variable;
  }
  if (nc_inq_attlen(file, id, name, &length) == NC_NOERR) {
    text.resize(length);
    EXPECT_EQ(nc_get_att_text(file, id, name, text.data()), NC_NOERR);
  }
  nc_close(file);
  return text;
}

// The CF attributes that tell readers what each variable holds, and the time bounds
// [t - 60 min, t] of every time.
void expectCfDescription(const std::filesystem::path& path, const std::vector<double>& times) {
  const std::vector<std::tuple<const char*, const char*, const char*>> expected{
      {"", "Conventions", "CF-1.8"},
      {"time", "units", "minutes since 1970-01-01 00:00:00"},
      {"time", "standard_name", "time"},
      {"time", "calendar", "standard"},
      {"time", "bounds", "time_bnds"},
      {"lat", "units", "degrees_north"},
      {"lat", "standard_name", "latitude"},
      {"lon", "units", "degrees_east"},
      {"lon", "standard_name", "longitude"},
      {"rain", "units", "mm h-1"},
      {"rain", "standard_name", "lwe_precipitation_rate"},
      {"rain", "grid_mapping", "crs"},
      {"rain", "cell_methods", "time: mean (interval: 60 minutes)"},
      {"crs", "grid_mapping_name", "latitude_longitude"},
  };
  for (const auto& [variable, name, value] : expected) {
    EXPECT_EQ(textAttribute(path, variable, name), value) << variable << ":" << name;
  }
  int file = -1, bounds = -1;
  std::vector<double> values(times.size() * 2);
  ASSERT_EQ(nc_open(path.c_str(), NC_NOWRITE, &file), NC_NOERR);
  EXPECT_EQ(nc_inq_varid(file, "time_bnds", &bounds) | nc_get_var_double(file, bounds, values.data()), NC_NOERR);
  nc_close(file);
  for (std::size_t i = 0; i < times.size(); ++i) {
    EXPECT_EQ(std::pair(values[2 * i], values[2 * i + 1]), std::pair(times[i] - 60, times[i])) << i;
  }
}

// Minutes since 1970 of a July day and time.
double julyMinutes(int year, int day, int hour, int minute) {
  using namespace std::chrono;
  const sys_days date{std::chrono::year{year} / July / day};
  return static_cast<double>(date.time_since_epoch().count()) * 1440 + hour * 60 + minute;
}

// Checks every cell line of a current display CSV against a map read back: the longitude and
// latitude of the cell's column and row, and its value (the CSV's value times scale, -1 without
// data).
void expectCsvCells(const std::string& csv, std::size_t cells, double scale, const std::function<double(int n)>& lon,
                    const std::function<double(int m)>& lat, const std::function<double(int id)>& value) {
  const auto lines = test::crlfLines(test::readText(csv));
  ASSERT_EQ(lines.size(), cells + 1);
  for (std::size_t i = 1; i < lines.size(); ++i) {
    int id, m, n, stored;
    char keido[32], ido[32];
    ASSERT_EQ(std::sscanf(lines[i].c_str(), "%d,%d,%d,%31[^,],%31[^,],%d", &id, &m, &n, keido, ido, &stored), 6);
    EXPECT_EQ(core::formatSingle(static_cast<float>(lon(n))), keido);
    EXPECT_EQ(core::formatSingle(static_cast<float>(lat(m))), ido);
    EXPECT_EQ(static_cast<float>(value(id)), stored < 0 ? -1.0f : static_cast<float>(stored * scale))
        << csv << " cell " << id;
  }
}

TEST(NetcdfExport, EveryFrameMatchesTheCsvOfTheSameFileWithSlotTimesAndUtc) {
  test::TempDir dir;
  const auto rmd = dir / "Ka20027012002701.RMD";  // hourly
  test::writeSampleRmd(rmd, test::sampleGrid(24, 3, 4), 24, test::dayStamps(2002, 7, 1, 1, 24),
                       [](int k, int cell) { return static_cast<std::int16_t>(k * 7 + cell * 3 - 12); }, {5});
  core::AnalysisConditions c = test::openedConditions(rmd);
  core::RmdDataset dataset = c.openFileDataset();
  NetcdfExportOptions options;
  ASSERT_TRUE(exportOpenFileNetcdf(dataset, 0, 23, dir / "all.nc", options));
  const Cube cube = readCube(dir / "all.nc");
  ASSERT_EQ(cube.time.size(), 24u);
  // Rain is stored scaled and filled, shuffled and deflated.
  int file = -1, rain = -1, format = 0, shuffle = 0, deflate = 0, level = 0, noFill = 1;
  short fill = 0;
  float scale = 0;
  ASSERT_EQ(nc_open((dir / "all.nc").c_str(), NC_NOWRITE, &file), NC_NOERR);
  EXPECT_EQ(nc_inq_varid(file, "rain", &rain) | nc_inq_format(file, &format) |
                nc_inq_var_deflate(file, rain, &shuffle, &deflate, &level) | nc_inq_var_fill(file, rain, &noFill, &fill) |
                nc_get_att_float(file, rain, "scale_factor", &scale),
            NC_NOERR);
  nc_close(file);
  EXPECT_EQ(std::tuple(format, shuffle && deflate, fill, scale), std::tuple(NC_FORMAT_NETCDF4, true, short{-1}, 0.1f));
  expectCfDescription(dir / "all.nc", cube.time);
  EXPECT_EQ(textAttribute(dir / "all.nc", "crs", "comment"), assumedEarthShape().statement);

  std::vector<std::int16_t> frameGrid;
  for (int k = 0; k < 24; ++k) {
    EXPECT_EQ(cube.time[static_cast<std::size_t>(k)], julyMinutes(2002, 1, k, 0) - 540) << k;  // empty frame 5 too
    ASSERT_TRUE(viewer::showFrame(dataset, k, frameGrid, c.rainGrid, c.frameLabel));
    const auto csv = exports::exportCurrentDisplay(c.shownMap(), c.areaName);
    ASSERT_TRUE(csv.status);
    expectCsvCells(csv.path, 12, 1, [&](int n) { return cube.lon[static_cast<std::size_t>(n)]; },
                   [&](int m) { return cube.lat[static_cast<std::size_t>(m)]; },
                   [&](int id) { return cube.rain[static_cast<std::size_t>(k * 12 + id)]; });
  }

  options.stampsUtc = true;
  ASSERT_TRUE(exportOpenFileNetcdf(dataset, 4, 6, dir / "part.nc", options));
  const Cube part = readCube(dir / "part.nc");
  EXPECT_EQ(part.time,
            (std::vector<double>{julyMinutes(2002, 1, 4, 0), julyMinutes(2002, 1, 5, 0), julyMinutes(2002, 1, 6, 0)}));
  EXPECT_EQ(std::vector<short>(part.rain.begin() + 12, part.rain.begin() + 24), std::vector<short>(12, -1));
}

// Day 1 with 48 records, day 2 with 40: slots 88..95 have no record.
void writeArchive(const std::filesystem::path& dir, const core::GridDescription& secondDayGrid) {
  for (int day = 1; day <= 2; ++day) {
    test::writeArchiveDay(dir, day == 1 ? core::GridDescription{36'000'000, 139'000'000, 31'250, 20'833, 9, 7} : secondDayGrid,
                          2005, 7, day, day == 1 ? 48 : 40, [day](int j, std::size_t i) {
                            return static_cast<std::int16_t>((i * 5 + static_cast<std::size_t>(j + day)) % 17 - 2);
                          });
  }
}

core::ArchiveSelection archiveSelection(const std::filesystem::path& dir) {
  core::ArchiveSelection c{{139'050'000, 35'970'000, 139'200'000, 35'900'000}, "My", {}, dir.string()};
  EXPECT_TRUE(core::checkPeriod({{2005, 2005}, {7, 7}, {1, 2}}, c.archiveDir, c.period));
  return c;
}

TEST(NetcdfExport, ArchiveFormEqualsTheFormOfItsRmdFileAndRefusalsWriteNothing) {
  test::TempDir dir;
  writeArchive(dir.path(), {36'000'000, 139'000'000, 31'250, 20'833, 9, 7});
  const core::ArchiveSelection c = archiveSelection(dir.path());
  ASSERT_TRUE(core::runPreprocessing(c, dir / "area.RMD").status);
  core::RmdDataset area = test::openedConditions(dir / "area.RMD").openFileDataset();
  ASSERT_TRUE(exportOpenFileNetcdf(area, 0, 95, dir / "rmd.nc", {}));
  int progressCalls = 0;
  core::OperationCallbacks callbacks;
  callbacks.progress = [&](std::int64_t, std::int64_t) { ++progressCalls; };
  ASSERT_TRUE(exportArchiveNetcdf(core::frameRequestOf(c), dir / "archive.nc", {}, callbacks));
  EXPECT_EQ(progressCalls, 2);

  const Cube fromRmd = readCube(dir / "rmd.nc");
  const Cube fromArchive = readCube(dir / "archive.nc");
  ASSERT_EQ(fromArchive.time.size(), 96u);
  EXPECT_EQ(fromArchive.time, fromRmd.time);
  EXPECT_EQ(fromArchive.lat, fromRmd.lat);
  EXPECT_EQ(fromArchive.lon, fromRmd.lon);
  EXPECT_EQ(fromArchive.rain, fromRmd.rain);
  EXPECT_EQ(fromArchive.time[95], julyMinutes(2005, 2, 23, 30) - 540);
  EXPECT_EQ(fromArchive.rain.back(), -1);

  // The second day on another grid, and frames past the end of the open file.
  writeArchive(dir.path(), {36'000'000, 139'000'000, 31'250, 20'833, 10, 7});
  const std::vector<std::string> before = test::namesIn(dir.path());
  EXPECT_EQ(message(exportArchiveNetcdf(core::frameRequestOf(archiveSelection(dir.path())), dir / "x.nc", {})), messages::kGridMismatch);
  EXPECT_EQ(message(exportOpenFileNetcdf(area, 95, 96, dir / "x.nc", {})),
            messages::kFrameNotInFile);
  EXPECT_EQ(test::namesIn(dir.path()), before);
}

// Frames of noise, half of it negative, each larger than a deflate block; more of them than are
// compressed at once, frames 3 and 7 never written.
TEST(NetcdfCube, FailuresWhileFramesAreCompressedLeaveNothingAndNoisyFramesReadBackInPlace) {
  test::TempDir dir;
  CubeLayout layout;
  layout.grid.rows = 181;
  layout.grid.columns = 197;
  layout.frames = 9;
  layout.earth = grib2EarthShape(4).value();  // as the agency's 1 km fields name it
  std::vector<std::vector<std::int16_t>> frames(9, std::vector<std::int16_t>(181 * 197));
  std::vector<short> expected;  // what reading the file must give
  std::mt19937 random(7);
  for (std::size_t k = 0; k < frames.size(); ++k) {
    for (auto& cell : frames[k]) cell = static_cast<std::int16_t>(random());
    for (const std::int16_t cell : frames[k]) expected.push_back(k != 3 && k != 7 ? std::max<short>(cell, -1) : -1);
  }
  const auto write = [&](const std::filesystem::path& target) {
    NetcdfCube cube;
    if (core::Status s = cube.create(target, layout); !s) return s;
    for (std::size_t k = 0; k < frames.size(); ++k) {
      if (k == 3 || k == 7) continue;
      if (core::Status s = cube.writeFrame(static_cast<std::int64_t>(k), {}, frames[k]); !s) return s;
    }
    return cube.commit();
  };

  const std::string failure = std::string(messages::kNetcdfNotWritten) + (dir / "noise.nc").string();
  const test::ChildOutcome full = test::runInChild(
      [&] { return message(write(dir / "noise.nc")).rfind(failure + std::string(messages::kReasonPrefix), 0) == 0 ? 0 : 1; },
      test::fileSizeLimit(200'000));
  EXPECT_EQ(full.exitCode, 0) << "not refused with " << failure;
  NetcdfCube cube;
  ASSERT_TRUE(cube.create(dir / "noise.nc", layout));
  for (std::size_t k = 0; k < 3; ++k) ASSERT_TRUE(cube.writeFrame(static_cast<std::int64_t>(k), {}, frames[k]));
  EXPECT_EQ(message(cube.writeFrame(4, {}, std::vector<std::int16_t>(5))), failure);
  EXPECT_FALSE(cube.commit());
  EXPECT_EQ(test::namesIn(dir.path()), std::vector<std::string>{});

  ASSERT_TRUE(write(dir / "noise.nc"));
  EXPECT_EQ(readCube(dir / "noise.nc").rain, expected);
  int file = -1, crs = -1;
  double axis = 0, flattening = 0;
  ASSERT_EQ(nc_open((dir / "noise.nc").c_str(), NC_NOWRITE, &file), NC_NOERR);
  EXPECT_EQ(nc_inq_varid(file, "crs", &crs) | nc_get_att_double(file, crs, "semi_major_axis", &axis) |
                nc_get_att_double(file, crs, "inverse_flattening", &flattening),
            NC_NOERR);
  nc_close(file);
  EXPECT_EQ(std::pair(axis, flattening), std::pair(6378137.0, 298.257222101));
  EXPECT_NE(textAttribute(dir / "noise.nc", "crs", "comment").find("GRS 80"), std::string::npos);
  EXPECT_EQ(grib2EarthShape(1), std::nullopt);  // a radius given in the message: no fixed figure
  EXPECT_EQ(grib2EarthShape(6).value().inverseFlattening, 0);  // a sphere: written as earth_radius
}

TEST(GeoTiffMap, ShownMapIsACogWhoseCellCentresAndValuesAreThoseOfTheCsv) {
  test::TempDir dir;
  const auto rmd = dir / "Ka20050701200507.RMD";
  test::writeSampleRmd(rmd, test::sampleGrid(2, 3, 5), 24, test::dayStamps(2005, 7, 1, 1, 24),
                       [](int k, int cell) { return static_cast<std::int16_t>(cell * 11 - 4 + k); });
  core::AnalysisConditions c = test::openedConditions(rmd);
  std::vector<std::int16_t> frameGrid;
  core::RmdDataset file = c.openFileDataset();
  ASSERT_TRUE(viewer::showFrame(file, 1, frameGrid, c.rainGrid, c.frameLabel));
  const auto csv = exports::exportCurrentDisplay(c.shownMap(), c.areaName);
  const auto tif = exportShownMapGeoTiff(c.shownMap(), c.file, shownMapGeoTiffPath(c.shownMap(), c.areaName));
  ASSERT_TRUE(tif.status) << message(tif.status);
  EXPECT_EQ(tif.path, std::filesystem::path(csv.path).replace_extension(".tif"));

  const GdalSession gdal;
  GDALDatasetH dataset = GDALOpen(tif.path.c_str(), GA_ReadOnly);
  ASSERT_NE(dataset, nullptr);
  EXPECT_STREQ(GDALGetMetadataItem(dataset, "LAYOUT", "IMAGE_STRUCTURE"), "COG");
  EXPECT_STREQ(GDALGetMetadataItem(dataset, "COMPRESSION", "IMAGE_STRUCTURE"), "DEFLATE");
  OGRSpatialReferenceH crs = GDALGetSpatialRef(dataset);
  ASSERT_NE(crs, nullptr);
  EXPECT_EQ(std::tuple(std::string(OSRGetAuthorityName(crs, nullptr)), std::string(OSRGetAuthorityCode(crs, nullptr))),
            std::tuple(std::string("EPSG"), std::string("4326")));
  double t[6];
  ASSERT_EQ(GDALGetGeoTransform(dataset, t), CE_None);
  GDALRasterBandH band = GDALGetRasterBand(dataset, 1);
  EXPECT_EQ(GDALGetRasterNoDataValue(band, nullptr), -1.0);
  std::vector<float> values(15);
  ASSERT_EQ(GDALRasterIO(band, GF_Read, 0, 0, 5, 3, values.data(), 5, 3, GDT_Float32, 0, 0), CE_None);
  GDALClose(dataset);

  expectCsvCells(csv.path, 15, 0.1, [&](int n) { return t[0] + (n + 0.5) * t[1]; },
                 [&](int m) { return t[3] + (m + 0.5) * t[5]; },
                 [&](int id) { return values[static_cast<std::size_t>(id)]; });
}

// The items (value, colour, label) of the discrete colour ramp of a QGIS style file.
std::vector<std::tuple<std::string, std::string, std::string>> styleItems(const std::filesystem::path& qml) {
  CPLXMLNode* root = CPLParseXMLString(test::readText(qml).c_str());
  EXPECT_NE(root, nullptr) << qml;
  std::vector<std::tuple<std::string, std::string, std::string>> items;
  const CPLXMLNode* shader = root ? CPLGetXMLNode(root, "=qgis.pipe.rasterrenderer.rastershader.colorrampshader") : nullptr;
  for (const CPLXMLNode* n = shader ? shader->psChild : nullptr; n != nullptr; n = n->psNext) {
    if (n->eType == CXT_Element && std::string(n->pszValue) == "item") {
      items.emplace_back(CPLGetXMLValue(n, "value", ""), CPLGetXMLValue(n, "color", ""), CPLGetXMLValue(n, "label", ""));
    }
  }
  CPLDestroyXMLNode(root);
  return items;
}

// Cell 0 has no data in any frame, cell 1 none in the first and 0 mm in the others, the rest
// rain; frames at 0, 6, 12 and 18 h.
TEST(GeoTiffMap, FoldedMapsHoldCellsNeverObservedAsNoDataWithTheirDescriptionAndStyle) {
  test::TempDir dir;
  const auto rmd = dir / "Ka20050701200507.RMD";
  test::writeSampleRmd(rmd, test::sampleGrid(4, 2, 3), 48, test::dayStamps(2005, 7, 1, 1, 4),
                       [](int k, int cell) { return static_cast<std::int16_t>(cell == 0 || (cell == 1 && k == 0) ? -1
                                                                                  : cell == 1 ? 0 : cell * 100 + k); });
  core::AnalysisConditions c = test::openedConditions(rmd);
  const std::vector<std::tuple<viewer::RangeFold, std::vector<float>, std::string, std::string>> folds{
      {viewer::RangeFold::Sum, {-1, 0, 80.6, 120.6, 160.6, 200.6}, "累積雨量 (mm) ", "mm"},
      {viewer::RangeFold::Maximum, {-1, 0, 20.3, 30.3, 40.3, 50.3}, "最大1時間雨量 (mm/h) ", "mm/h"},
  };
  for (const auto& [fold, expected, title, unit] : folds) {
    ASSERT_TRUE(viewer::foldLabelled(fold, c.file, 0, 3, c.rainGrid, c.frameLabel));
    const auto csv = exports::exportCurrentDisplay(c.shownMap(), c.areaName);  // keeps counting no data as 0
    EXPECT_EQ(test::crlfLines(test::readText(csv.path))[1].substr(0, 2), "0,");
    const auto tif = exportShownMapGeoTiff(c.shownMap(), c.file, shownMapGeoTiffPath(c.shownMap(), c.areaName));
    ASSERT_TRUE(tif.status) << message(tif.status);
    GDALDatasetH dataset = GDALOpen(tif.path.c_str(), GA_ReadOnly);
    ASSERT_NE(dataset, nullptr);
    GDALRasterBandH band = GDALGetRasterBand(dataset, 1);
    std::vector<float> values(6);
    ASSERT_EQ(GDALRasterIO(band, GF_Read, 0, 0, 3, 2, values.data(), 3, 2, GDT_Float32, 0, 0), CE_None);
    for (std::size_t i = 0; i < 6; ++i) EXPECT_FLOAT_EQ(values[i], expected[i]) << title << i;
    EXPECT_EQ(GDALGetDescription(band), title + "2005-06-30 23:00 – 2005-07-01 18:00 JST");
    EXPECT_EQ(std::tuple(std::string(GDALGetRasterUnitType(band)), std::string(GDALGetMetadataItem(band, "TIME_UTC", ""))),
              std::tuple(unit, std::string("2005-06-30 14:00 – 2005-07-01 09:00 UTC")));
    EXPECT_NE(std::string(GDALGetMetadataItem(band, "SOURCE", "")).find("気象庁提供"), std::string::npos);
    GDALClose(dataset);
    const auto items = styleItems(qgisStylePathBeside(tif.path));
    ASSERT_EQ(items.size(), 8u);
    EXPECT_EQ(items[1], std::tuple(fold == viewer::RangeFold::Sum ? "99.95" : "0.95", "#0000ff",
                                   std::string(viewer::legendOf(fold == viewer::RangeFold::Sum
                                                                    ? viewer::ClassScale::Accumulation
                                                                    : viewer::ClassScale::Intensity)[0].label)));
    EXPECT_EQ(std::get<0>(items[7]), "inf");
  }
}

// A band of a GeoTIFF read whole.
std::vector<float> bandValues(GDALRasterBandH band) {
  const int columns = GDALGetRasterBandXSize(band), rows = GDALGetRasterBandYSize(band);
  std::vector<float> values(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows));
  EXPECT_EQ(GDALRasterIO(band, GF_Read, 0, 0, columns, rows, values.data(), columns, rows, GDT_Float32, 0, 0), CE_None);
  return values;
}

// Three maps of 530 x 601 cells (several tiles, overviews) added one band at a time: each band
// is the map written alone, one band is that file byte for byte, and a writer dropped before
// its commit leaves the old target alone.
TEST(GeoTiffMap, BandsAddedOneAtATimeAreTheMapsWrittenAlone) {
  test::TempDir dir;
  constexpr int kColumns = 530, kRows = 601;
  const MapGeoreference g{130.0, 36.0, 0.0125, 1.0 / 120};
  std::vector<std::vector<std::int16_t>> maps(3, std::vector<std::int16_t>(kColumns * kRows));
  for (std::size_t b = 0; b < maps.size(); ++b) {
    for (std::size_t i = 0; i < maps[b].size(); ++i) maps[b][i] = static_cast<std::int16_t>((i * 7 + b * 131) % 400) - 3;
  }
  const auto describe = [](std::size_t b) { return BandDescription{"map " + std::to_string(b), "", "", "", "", {}}; };
  const auto writeBands = [&](const std::filesystem::path& target, std::vector<std::size_t> bands, bool commit) {
    GeoTiffBandWriter writer;
    ASSERT_TRUE(writer.open(target, kColumns, kRows, g));
    for (std::size_t b : bands) ASSERT_TRUE(writer.add(maps[b], describe(b)));
    ASSERT_TRUE(!commit || writer.commit());
  };
  writeBands(dir / "all.tif", {0, 1, 2}, true);
  writeBands(dir / "one.tif", {2}, true);
  const auto alone = [&](std::size_t b) { return dir / ("alone" + std::to_string(b) + ".tif"); };
  for (std::size_t b = 0; b < 3; ++b) ASSERT_TRUE(writeGeoTiffMap(alone(b), {kColumns, kRows, storedToBandValues(maps[b])}, g, describe(b)));
  EXPECT_EQ(test::readBytes(dir / "one.tif"), test::readBytes(alone(2)));
  GDALDatasetH all = GDALOpen((dir / "all.tif").c_str(), GA_ReadOnly);
  ASSERT_EQ(all ? GDALGetRasterCount(all) : 0, 3);
  for (std::size_t b = 0; b < maps.size(); ++b) {
    GDALDatasetH single = GDALOpen(alone(b).c_str(), GA_ReadOnly);
    GDALRasterBandH band = GDALGetRasterBand(all, static_cast<int>(b) + 1), expected = GDALGetRasterBand(single, 1);
    EXPECT_EQ(bandValues(band), bandValues(expected)) << b;
    EXPECT_EQ(std::pair(std::string(GDALGetDescription(band)), GDALGetRasterNoDataValue(band, nullptr)),
              std::pair(describe(b).description, -1.0));
    GDALClose(single);
  }
  GDALClose(all);
  const std::vector<std::string> names = test::namesIn(dir.path());
  test::writeText(dir / "all.tif", "old");
  writeBands(dir / "all.tif", {0, 1}, false);
  EXPECT_EQ(std::pair(test::readText(dir / "all.tif"), test::namesIn(dir.path())), std::pair(std::string("old"), names));
}

TEST(GeoTiffMap, NoMapWritesNothing) {
  test::TempDir dir;
  EXPECT_EQ(exportShownMapGeoTiff(core::ShownMap{}, core::RmdDataset{}, dir / "none.tif").status.problem,
            core::Problem::NoMapShown);
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

}  // namespace
}  // namespace ombrix::gis
