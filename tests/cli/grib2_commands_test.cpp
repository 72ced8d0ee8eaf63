// ombrix-tool's --grib2 forms: the same files as import-grib2 followed by the --archive form,
// byte for byte, and the refusals of the new form.
#include <gdal.h>
#include <gtest/gtest.h>
#include <netcdf.h>

#include "core/messages.h"
#include "support/grib2_restamp.h"
#include "tests/cli/cli_test_support.h"

namespace ombrix {
namespace {

namespace fs = std::filesystem;
using test::shellQuote;
using test::tool;

// Half hours of 6-7 July 2020 (UTC) made from the real fields, two basins over Kyushu and one
// far out at sea, and a broken file in a folder of its own.
struct Grib2Inputs {
  test::TempDir dir;
  fs::path in = dir / "in";
  fs::path broken = dir / "broken" / test::agencyName(2020, 7, 7, 1, 0);
  fs::path basins = dir / "basins.geojson";
  fs::path atSea = dir / "at-sea.geojson";
  Grib2Inputs() {
    fs::create_directories(in);
    fs::create_directories(broken.parent_path());
    const std::vector<std::uint8_t> fields[] = {test::readBytes(test::realField(0)),
                                                test::readBytes(test::realField(1))};
    for (const auto& [field, day, hour, minute] : {std::tuple{0, 6, 14, 30}, {1, 6, 15, 0}, {0, 7, 2, 0}}) {
      test::writeBytes(in / test::agencyName(2020, 7, day, hour, minute),
                       test::restamped(fields[field], 2020, 7, day, hour, minute));
    }
    test::writeText(broken, "GRIB");
    const std::string feature = R"({"type":"Feature","properties":{"name":"%s"},"geometry":{"type":"Polygon",)"
                                R"("coordinates":[[[%s],[%s],[%s],[%s]]]}})";
    const auto polygon = [&](const char* name, const char* a, const char* b, const char* c) {
      char text[512];
      std::snprintf(text, sizeof text, feature.c_str(), name, a, b, c, a);
      return std::string(text);
    };
    const std::string north = polygon("筑後川", "130.3,33.1", "130.9,33.2", "130.7,33.45");
    const std::string south = polygon("south", "130.4,32.6", "130.9,32.7", "130.6,32.9");
    const std::string sea = polygon("sea", "160.0,10.0", "160.5,10.0", "160.2,10.4");
    test::writeText(basins, R"({"type":"FeatureCollection","features":[)" + north + "," + south + "]}");
    test::writeText(atSea, R"({"type":"FeatureCollection","features":[)" + north + "," + sea + "]}");
  }
  std::string folder(const fs::path& path) const { return shellQuote(path.string()); }
};

TEST(Grib2Forms, ArealEqualsImportThenArchiveAndNamesSkippedFiles) {
  Grib2Inputs g;
  const fs::path archive = g.dir / "archive";
  ASSERT_EQ(tool("import-grib2 --archive " + g.folder(archive) + " " + g.folder(g.in) + " " +
                 g.folder(g.broken.parent_path())).exitCode, 0);
  const std::string common = " --from 2020-07-06 --to 2020-07-07 --durations 1,3 --polygons " + g.folder(g.basins);
  ASSERT_EQ(tool("areal --archive " + g.folder(archive) + common + " --out " + g.folder(g.dir / "a.csv")).exitCode, 0);
  const auto run = tool("areal --grib2 " + g.folder(g.in) + " " + g.folder(g.broken) + common + " --out " +
                        g.folder(g.dir / "g.csv"));
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, std::string(messages::kNotGrib2Rainfall) + g.broken.string() + "\n" +
                         std::string(messages::kImportSummaryRefused) + "1\n");
  for (const char* name : {".csv", "-areal-durations.csv"}) {
    const std::string suffix = name[0] == '.' ? "" : "-areal-durations";
    EXPECT_EQ(test::readBytes(g.dir / ("g" + suffix + ".csv")), test::readBytes(g.dir / ("a" + suffix + ".csv")));
  }
  const std::string rmd = test::printedPath(
      tool("preprocess --archive " + g.folder(archive) + " --region Ky --from 2020-07-06 --to 2020-07-07"));
  const std::string point = " --lat 33.2 --lon 130.6 --out ";
  ASSERT_EQ(tool("series " + shellQuote(rmd) + point + g.folder(g.dir / "a-series.csv")).exitCode, 0);
  ASSERT_EQ(tool("series --grib2 " + g.folder(g.in) + " --from 2020-07-06 --to 2020-07-07" + point +
                 g.folder(g.dir / "g-series.csv")).exitCode, 0);
  EXPECT_EQ(test::readBytes(g.dir / "g-series.csv"), test::readBytes(g.dir / "a-series.csv"));
  // The duration map of the three forms.
  const std::string days = " --region Ky --from 2020-07-06 --to 2020-07-07 --hours 1 --out ";
  for (const auto& [form, name] : {std::pair{shellQuote(rmd) + " --hours 1 --out ", "r.tif"},
                                   {"--archive " + g.folder(archive) + days, "a.tif"},
                                   {"--grib2 " + g.folder(g.in) + days, "g.tif"}}) {
    ASSERT_EQ(tool("export-duration-max " + form + g.folder(g.dir / name)).exitCode, 0) << form;
  }
  EXPECT_EQ(test::readBytes(g.dir / "g.tif"), test::readBytes(g.dir / "r.tif"));
  EXPECT_EQ(test::readBytes(g.dir / "a.tif"), test::readBytes(g.dir / "r.tif"));
  const auto lines = test::crlfLines(test::readText(g.dir / "g.csv").substr(3));
  ASSERT_EQ(lines.size(), 97u);
  EXPECT_EQ(lines[49].substr(0, 17), "2020-07-07 00:00,");  // 15:00 UTC
  EXPECT_NE(lines[49].substr(17, 2), ",,");
}

// Every band of a GeoTIFF: its description, TIME_JST and values.
using Band = std::tuple<std::string, std::string, std::vector<float>>;
std::vector<Band> bands(const fs::path& path) {
  GDALAllRegister();
  GDALDatasetH dataset = GDALOpen(path.c_str(), GA_ReadOnly);
  EXPECT_NE(dataset, nullptr) << path;
  std::vector<Band> read;
  const int columns = dataset ? GDALGetRasterXSize(dataset) : 0, rows = dataset ? GDALGetRasterYSize(dataset) : 0;
  for (int b = 1; dataset && b <= GDALGetRasterCount(dataset); ++b) {
    GDALRasterBandH band = GDALGetRasterBand(dataset, b);
    std::vector<float> values(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows));
    EXPECT_EQ(GDALRasterIO(band, GF_Read, 0, 0, columns, rows, values.data(), columns, rows, GDT_Float32, 0, 0),
              CE_None);
    read.emplace_back(GDALGetDescription(band), GDALGetMetadataItem(band, "TIME_JST", ""), std::move(values));
  }
  if (dataset) GDALClose(dataset);
  return read;
}

// Half hours on either side of New Year (JST) by year or month: a band per period named after
// it, each the map of that period's day alone; the three forms write the same file, also where
// a window of two hours crosses into the new year.
TEST(Grib2Forms, DurationMapByYearHasABandPerYearEqualToThatYearsMap) {
  test::TempDir dir;
  const fs::path in = dir / "in";
  fs::create_directories(in);
  const std::vector<std::uint8_t> fields[] = {test::readBytes(test::realField(0)), test::readBytes(test::realField(1))};
  for (const auto& [field, hour, minute] : {std::tuple{0, 2, 0}, {1, 2, 30}, {0, 14, 30}, {1, 15, 30}}) {  // to 00:30 JST
    test::writeBytes(in / test::agencyName(2019, 12, 31, hour, minute),
                     test::restamped(fields[field], 2019, 12, 31, hour, minute));
  }
  const std::string archive = shellQuote((dir / "archive").string());
  const std::string days = " --from 2019-12-31 --to 2020-01-01";
  ASSERT_EQ(tool("import-grib2 --archive " + archive + " " + shellQuote(in.string())).exitCode, 0);
  const std::string rmd = test::printedPath(tool("preprocess --archive " + archive + " --region Ky" + days));
  const std::string grib2 = "export-duration-max --grib2 " + shellQuote(in.string()) + " --region Ky --hours 1";
  for (const auto& [command, name] : {std::pair{grib2 + " --from 2019-12-31 --to 2019-12-31", "2019.tif"},
                                      {grib2 + " --from 2020-01-01 --to 2020-01-01", "2020.tif"},
                                      {grib2 + days + " --by year", "y.tif"},
                                      {grib2 + days + " --by month", "m.tif"},
                                      {"export-duration-max --archive " + archive + " --region Ky --hours 1 --by year" + days, "a.tif"},
                                      {"export-duration-max " + shellQuote(rmd) + " --hours 1 --by year", "r.tif"},
                                      {"export-duration-max " + shellQuote(rmd) + " --hours 2 --by year", "r2.tif"},
                                      {"export-duration-max --grib2 " + shellQuote(in.string()) + " --region Ky --hours 2 --by year" + days, "y2.tif"}}) {
    ASSERT_EQ(tool(command + " --out " + shellQuote((dir / name).string())).exitCode, 0) << command;
  }
  EXPECT_EQ(test::readBytes(dir / "a.tif"), test::readBytes(dir / "y.tif"));
  EXPECT_EQ(test::readBytes(dir / "r.tif"), test::readBytes(dir / "y.tif"));
  EXPECT_EQ(test::readBytes(dir / "r2.tif"), test::readBytes(dir / "y2.tif"));
  const std::vector<Band> years = bands(dir / "y.tif");
  const std::vector<Band> months = bands(dir / "m.tif");
  ASSERT_EQ(std::pair(years.size(), months.size()), std::pair(std::size_t{2}, std::size_t{2}));
  for (const auto& [b, year, month] : {std::tuple{0, "2019", "2019-12"}, {1, "2020", "2020-01"}}) {
    const Band alone = bands(dir / (std::string(year) + ".tif")).at(0);
    EXPECT_EQ(std::pair(std::get<0>(years[b]), std::get<0>(months[b])), std::pair(std::string(year), std::string(month)));
    EXPECT_EQ(std::tie(std::get<1>(years[b]), std::get<2>(years[b])), std::tie(std::get<1>(alone), std::get<2>(alone)));
    EXPECT_TRUE(std::ranges::any_of(std::get<2>(alone), [](float v) { return v > 0; })) << year;
  }
}

TEST(Grib2Forms, RefusalsWriteNothing) {
  Grib2Inputs g;
  const std::string in = " --grib2 " + g.folder(g.in);
  const std::string period = " --from 2020-07-06 --to 2020-07-07";
  const std::string out = " --out " + g.folder(g.dir / "out");
  const std::string basins = " --polygons " + g.folder(g.basins);
  const fs::path missing = g.dir / "not-there";
  const std::pair<std::string, std::string> cases[] = {
      {"areal --grib2 " + g.folder(missing) + period + basins + out,
       std::string(messages::kGrib2InputMissing) + missing.string()},
      {"areal" + in + " --from 2020-08-01 --to 2020-08-31" + basins + out, std::string(messages::kGrib2NoFileInPeriod)},
      {"areal" + in + period + " --polygons " + g.folder(g.atSea) + out,
       std::string(messages::kPolygonOutsideGrid) + "sea"},
      {"export-netcdf" + in + " --region Ky --from 2020-09-01 --to 2020-09-02" + out,
       std::string(messages::kGrib2NoFileInPeriod)},
      {"export-netcdf --grib2 " + g.folder(missing) + " --region Ky" + period + out,
       std::string(messages::kGrib2InputMissing) + missing.string()},
      {"series" + in + period + " --lat 10 --lon 160" + out, std::string(messages::kPointOutsideGrid)},
      {"export-duration-max" + in + " --region My --area 11,160,10,161 --hours 3" + period + out,
       std::string(messages::kAreaOutsideGrid)},
  };
  for (const auto& [command, message] : cases) {
    SCOPED_TRACE(command);
    test::expectRefused(tool(command), message);
    EXPECT_FALSE(fs::exists(g.dir / "out"));
  }
  EXPECT_EQ(tool("areal" + in + " --archive " + g.folder(g.dir.path()) + period + basins).exitCode, 2);
  const auto cube = tool("export-netcdf" + in + " --region My --area 33.5,130,32.5,131" + period + out);
  EXPECT_EQ(test::printedPath(cube), (g.dir / "out").string());
  // The figure of the earth the messages name (GRS 80), not the one assumed for the archive.
  int file = 0;
  int crs = 0;
  double axis = 0;
  double flattening = 0;
  ASSERT_EQ(nc_open((g.dir / "out").c_str(), NC_NOWRITE, &file), NC_NOERR);
  EXPECT_EQ(nc_inq_varid(file, "crs", &crs) | nc_get_att_double(file, crs, "semi_major_axis", &axis) |
                nc_get_att_double(file, crs, "inverse_flattening", &flattening),
            NC_NOERR);
  nc_close(file);
  EXPECT_EQ(std::pair(axis, flattening), std::pair(6378137.0, 298.257222101));
}

}  // namespace
}  // namespace ombrix
