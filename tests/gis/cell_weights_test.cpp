// Areal rainfall: cell weights against analytic areas, duration maxima, and polygon files.
#include "gis/cell_weights.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <numbers>
#include <random>
#include <utility>

#include "core/messages.h"
#include "gis/areal_csv.h"
#include "gis/areal_series.h"
#include "gis/duration_maxima.h"
#include "gis/polygon_file.h"
#include "support/sample_rmd.h"
#include "support/test_support.h"

namespace ombrix::gis {
namespace {

// 130E 36N, 0.125 degree cells: every position and edge is exact in binary.
const CellGrid kGrid{130'000'000, 36'000'000, 125'000, 125'000, 8, 6};
constexpr double kStep = 0.125;
constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

// Points in cell units: u columns east of column 0's west edge, v rows south of row 0's north edge.
LonLat at(double u, double v) { return {130.0 - kStep / 2 + u * kStep, 36.0 + kStep / 2 - v * kStep}; }
Ring rectangle(double u0, double v0, double u1, double v1) { return {at(u0, v0), at(u1, v0), at(u1, v1), at(u0, v1)}; }

// A shape of one polygon per list of rings (outline first, then holes).
Shape shapeOf(std::vector<std::vector<Ring>> polygons) {
  Shape shape;
  for (auto& rings : polygons) shape.parts.push_back(Polygon{std::move(rings)});
  return shape;
}

double cosineOfRow(long m) { return std::cos((36.0 - static_cast<double>(m) * kStep) * std::numbers::pi / 180); }

// Expected fractions of each cell (row, column) covered, for cells of the extended grid.
using Fractions = std::map<std::pair<long, long>, double>;

// Signed rectangles in cell units (+1 adds, -1 takes out): the area inside a cell is the product
// of the overlaps, worked out here without any clipping.
struct Piece {
  double u0, v0, u1, v1, sign;
};
Fractions fractionsOf(const std::vector<Piece>& pieces) {
  Fractions fractions;
  for (const Piece& p : pieces) {
    for (long m = static_cast<long>(std::floor(p.v0)); m < std::ceil(p.v1); ++m) {
      for (long n = static_cast<long>(std::floor(p.u0)); n < std::ceil(p.u1); ++n) {
        const double du = std::min<double>(p.u1, n + 1) - std::max<double>(p.u0, n);
        const double dv = std::min<double>(p.v1, m + 1) - std::max<double>(p.v0, m);
        fractions[{m, n}] += p.sign * du * dv;
      }
    }
  }
  return fractions;
}

struct WeightCase {
  const char* name;
  Shape shape;
  Fractions expected;
};

TEST(CellWeights, ExactAreasTimesCosineOnEveryCellAndTheExtendedGrid) {
  // A chevron with its notch at (2, 1) over rows 2 and 3: the upper row keeps 3/4, 1/4, 1/4, 3/4
  // of its cells under the two slopes (integrals of 1 - u/2 and (u - 2)/2), the lower row all.
  Fractions chevron;
  for (long n = 0; n < 4; ++n) chevron[{3, n}] = 1;
  chevron[{2, 0}] = 0.75, chevron[{2, 1}] = 0.25, chevron[{2, 2}] = 0.25, chevron[{2, 3}] = 0.75;
  const std::vector<WeightCase> cases{
      {"rectangle on cell edges", shapeOf({{rectangle(1, 1, 3, 4)}}), fractionsOf({{1, 1, 3, 4, 1}})},
      {"concave chevron", shapeOf({{{at(0, 4), at(4, 4), at(4, 2), at(2, 3), at(0, 2)}}}), chevron},
      {"rectangle with a hole", shapeOf({{rectangle(0.5, 0.5, 4.5, 3.5), rectangle(1.25, 1.25, 2.75, 2.5)}}),
       fractionsOf({{0.5, 0.5, 4.5, 3.5, 1}, {1.25, 1.25, 2.75, 2.5, -1}})},
      {"two rectangles", shapeOf({{rectangle(0.2, 0.3, 1.7, 1.1)}, {rectangle(5.5, 4.25, 7.75, 5.5)}}),
       fractionsOf({{0.2, 0.3, 1.7, 1.1, 1}, {5.5, 4.25, 7.75, 5.5, 1}})},
      {"smaller than a cell", shapeOf({{rectangle(3.1, 2.2, 3.4, 2.9)}}), fractionsOf({{3.1, 2.2, 3.4, 2.9, 1}})},
      {"across the west and south edges", shapeOf({{rectangle(-1.5, 4.5, 1.5, 7.25)}}),
       fractionsOf({{-1.5, 4.5, 1.5, 7.25, 1}})},
  };
  for (const WeightCase& c : cases) {
    SCOPED_TRACE(c.name);
    const ShapeWeights weights = shapeWeights(c.shape, kGrid);
    std::map<std::uint32_t, double> actual;
    for (const auto& run : weights.runs) {
      for (std::uint32_t i = 0; i < run.count; ++i) actual[run.firstCell + i] = weights.weights[run.weightStart + i];
    }
    double whole = 0;
    std::size_t inGrid = 0;
    for (const auto& [cell, fraction] : c.expected) {
      const double weight = fraction * kStep * kStep * cosineOfRow(cell.first);
      whole += weight;
      if (cell.first < 0 || cell.first >= kGrid.rows || cell.second < 0 || cell.second >= kGrid.columns) continue;
      ++inGrid;
      const auto index = static_cast<std::uint32_t>(cell.first * kGrid.columns + cell.second);
      EXPECT_NEAR(actual[index], weight, 1e-7 * weight) << "row " << cell.first << " column " << cell.second;
    }
    EXPECT_EQ(actual.size(), inGrid);
    EXPECT_NEAR(weights.wholeWeight, whole, 1e-6 * whole);
  }
}

// Far coordinates cost no more than the grid: rows 1 and 2 from column 2 to a longitude far east
// (and once to a latitude far north) give the cells in the grid their share; the rest counts in
// the whole weight only.
TEST(CellWeights, FarCoordinatesAreBoundedByTheGrid) {
  for (const double far : {1e5, 1e10, 1e300}) {
    SCOPED_TRACE(far);
    const ShapeWeights east = shapeWeights(shapeOf({{{at(2, 3), {far, at(0, 3).lat}, {far, at(0, 1).lat}, at(2, 1)}}}), kGrid);
    EXPECT_EQ(east.weights.size(), 12U);
    EXPECT_NEAR(east.weights[11], kStep * kStep * cosineOfRow(2), 1e-7 * kStep * kStep);
    const double whole = (far - at(2, 1).lon) * kStep * (cosineOfRow(1) + cosineOfRow(2));
    EXPECT_NEAR(east.wholeWeight, whole, 1e-9 * whole);
    const ShapeWeights north = shapeWeights(shapeOf({{{at(2, 3), at(3, 3), {at(3, 0).lon, far}, {at(2, 0).lon, far}}}}), kGrid);
    EXPECT_EQ(north.weights.size(), 3U);
    EXPECT_TRUE(std::isfinite(north.wholeWeight) && north.wholeWeight > 3 * kStep * kStep);
  }
}

// Its refusals are checked through polygon files (PolygonFile below).
TEST(CheckShape, KeepsTinyPolygonsAndNeverWeightsCoordinatesThatAreNoNumbers) {
  EXPECT_TRUE(checkShape(shapeOf({{{{139, 35}, {139.000001, 35}, {139.000001, 35.000001}, {139, 35.000001}}}})));
  EXPECT_TRUE(shapeWeights(shapeOf({{rectangle(1, 1, 2, 2), {at(1.2, 1.2), {139, kNone}, at(1.8, 1.2)}}}), kGrid).empty());
}

TEST(ArealValue, MeanOverCellsWithDataAndCoverageOfTheWholeWeight) {
  // Across the grid's west edge: half of the polygon lies off the grid.
  const ShapeWeights weights = shapeWeights(shapeOf({{rectangle(-1, 0, 1, 2)}}), kGrid);
  std::vector<std::int16_t> cells(48, 0);
  cells[0] = 10, cells[8] = 30;
  ArealValue value = arealValue(weights, cells);
  const double c0 = cosineOfRow(0), c1 = cosineOfRow(1);
  EXPECT_NEAR(value.mean, (10 * c0 + 30 * c1) / (c0 + c1) * 0.1, 1e-6);
  EXPECT_NEAR(value.coverage, 0.5, 1e-6);
  cells[8] = -1;
  value = arealValue(weights, cells);
  EXPECT_NEAR(value.mean, 1.0, 1e-6);
  EXPECT_NEAR(value.coverage, c0 / (2 * (c0 + c1)), 1e-6);
  cells[0] = -1;
  value = arealValue(weights, cells);
  EXPECT_TRUE(std::isnan(value.mean));
  EXPECT_EQ(value.coverage, 0);
}

struct WindowCase {
  const char* name;
  std::vector<double> values;
  int framesPerHour;
  int hours;
  std::optional<DurationMaximum> expected;
};

TEST(DurationMaximum, WindowsStepByTheHourAndSkipFramesWithoutData) {
  const std::vector<double> hourly{1, 2, kNone, 4, 5, 1};
  // Half-hourly: a 2-hour window ending at k adds frames k and k - 2 only.
  const std::vector<double> halfHourly{1, 2, 3, kNone, 5, 1, 2, 2};
  const std::vector<WindowCase> cases{
      {"hourly, 1 h", hourly, 1, 1, DurationMaximum{5, 4}},
      {"hourly, 2 h past the gap", hourly, 1, 2, DurationMaximum{9, 4}},
      {"hourly, 3 h: only the last window is whole", hourly, 1, 3, DurationMaximum{10, 5}},
      {"hourly, longer than the file", hourly, 1, 7, std::nullopt},
      {"half-hourly, 1 h is one frame", halfHourly, 2, 1, DurationMaximum{5, 4}},
      {"half-hourly, 2 h", halfHourly, 2, 2, DurationMaximum{8, 4}},
      {"half-hourly, 3 h", halfHourly, 2, 3, DurationMaximum{10, 6}},
      {"ties keep the first window", {3, 1, 3}, 1, 1, DurationMaximum{3, 0}},
      {"no frame with data", {kNone, kNone}, 1, 1, std::nullopt},
  };
  for (const WindowCase& c : cases) {
    EXPECT_EQ(durationMaximum(c.values, c.framesPerHour, c.hours), c.expected) << c.name;
  }
}

// Two 24-hour windows of exactly 40.0 mm over a polygon inside one cell, frames 0-23 and 1-24,
// whose means are summed in another order: the first window wins, whatever the rounding.
TEST(DurationMaximum, EqualDepthsOfAPolygonInsideOneCellKeepTheFirstWindow) {
  const ShapeWeights weights = shapeWeights(shapeOf({{rectangle(3.1, 2.2, 3.4, 2.9)}}), kGrid);
  std::mt19937 random(12);
  for (int trial = 0; trial < 20; ++trial) {
    std::vector<std::int16_t> hourly(25);
    int sum = 0;
    for (std::size_t k = 1; k < 24; ++k) sum += hourly[k] = static_cast<std::int16_t>(random() % 17);
    hourly.front() = hourly.back() = static_cast<std::int16_t>(400 - sum);
    std::vector<double> means;
    std::vector<std::int16_t> cells(48, -1);
    for (const std::int16_t value : hourly) {
      cells[2 * 8 + 3] = value;
      means.push_back(arealValue(weights, cells).mean);
    }
    const auto best = durationMaximum(means, 1, 24);
    ASSERT_TRUE(best);
    EXPECT_EQ(best->endFrame, 23U) << "trial " << trial;
    EXPECT_NEAR(best->depth, 40.0, 1e-9);
  }
}

// The running sums per cell give what the plain windows give for every cell, over the whole
// range and over periods, a window crossing into a period counting in it.
TEST(CellDurationMaxima, EqualThePlainWindowsOfEveryCellInEachPeriod) {
  std::mt19937 random(7);
  constexpr std::size_t kCells = 30;
  constexpr int kFrames = 40;
  std::vector<std::vector<std::int16_t>> frames(kFrames, std::vector<std::int16_t>(kCells));
  for (auto& frame : frames) {
    for (auto& value : frame) value = static_cast<std::int16_t>(static_cast<int>(random() % 60) - 3);
  }
  frames[9].assign(kCells, -1);  // a frame missing from the file
  const FrameReader read = [&](int k, std::vector<std::int16_t>& cells) {
    cells = frames[static_cast<std::size_t>(k)];
    return core::Status();
  };
  const std::vector<std::vector<FramePeriod>> splits{{{0, 39, ""}}, {{0, 12, "a"}, {13, 13, "b"}, {14, 39, "c"}}};
  for (const std::vector<FramePeriod>& periods : splits) {
    for (const auto& [perHour, hours] : {std::pair{1, 1}, {1, 3}, {2, 1}, {2, 4}, {2, 30}}) {
      std::vector<std::vector<std::int16_t>> depths;
      ASSERT_TRUE(cellDurationMaxima(kCells, periods, perHour, hours, read, depths));
      ASSERT_EQ(depths.size(), periods.size());
      for (std::size_t c = 0; c < kCells; ++c) {
        std::vector<double> series;
        for (const auto& frame : frames) series.push_back(frame[c] >= 0 ? frame[c] : kNone);
        for (std::size_t p = 0; p < periods.size(); ++p) {
          const auto plain = durationMaximum(std::span(series).first(periods[p].last + 1), perHour, hours, periods[p].first);
          EXPECT_EQ(depths[p][c], plain ? static_cast<std::int16_t>(plain->depth) : -1)
              << perHour << " frames/h, " << hours << " h, cell " << c << ", period " << periods[p].first;
        }
      }
    }
  }
}

using test::TempDir;

// Hourly frames across New Year: a window crossing the boundary belongs to the period of its
// last frame, and frames_missing counts each period's frames without data.
TEST(ArealDurations, MaximaOfEachYearOrMonth) {
  TempDir dir;
  ArealTable table;
  table.names = {"b"};
  table.times = {{2019, 12, 31, 22, 0}, {2019, 12, 31, 23, 0}, {2020, 1, 1, 0, 0}, {2020, 1, 1, 1, 0}, {2020, 1, 1, 2, 0}};
  for (double mean : {1.0, 5.0, 4.0, kNone, 2.0}) table.values.push_back({mean, std::isnan(mean) ? 0.0 : 1.0});
  const std::pair<MaximaPeriods, std::vector<std::string>> cases[] = {
      {MaximaPeriods::Year,
       {"name,hours,period,depth_mm,end_time,frames_missing", "b,1,2019,5.00,2019-12-31 23:00,0",
        "b,1,2020,4.00,2020-01-01 00:00,1", "b,2,2019,6.00,2019-12-31 23:00,0", "b,2,2020,9.00,2020-01-01 00:00,1"}},
      {MaximaPeriods::Month,
       {"name,hours,period,depth_mm,end_time,frames_missing", "b,1,2019-12,5.00,2019-12-31 23:00,0",
        "b,1,2020-01,4.00,2020-01-01 00:00,1", "b,2,2019-12,6.00,2019-12-31 23:00,0",
        "b,2,2020-01,9.00,2020-01-01 00:00,1"}},
      {MaximaPeriods::Whole, {"name,hours,depth_mm,end_time", "b,1,5.00,2019-12-31 23:00", "b,2,9.00,2020-01-01 00:00"}},
  };
  for (const auto& [by, lines] : cases) {
    ASSERT_TRUE(writeArealCsv(dir / "a-areal.csv", table, {1, 2}, by));
    EXPECT_EQ(test::crlfLines(test::readText(dir / "a-areal-durations.csv").substr(3)), lines);
  }
}

constexpr LonLat kCorners[] = {{139.25, 35.5}, {139.75, 35.5}, {139.75, 36.0}, {139.25, 36.0}};

TEST(PolygonFile, ProjectedCoordinatesComeBackAsLongitudeAndLatitudeWithTheirNames) {
  TempDir dir;
  const auto path = dir / "basins.geojson";
  // The rectangle above in JGD2011 / UTM zone 54N, named by a "name" field ("荒川") and a "code"
  // field; a second feature has no name.
  const std::string coordinates = "[[[341278.970514946,3929901.29595348],[386630.671322121,3929211.65975362],"
                                  "[387337.684973273,3984670.88172216],[342269.014141507,3985364.57230933],"
                                  "[341278.970514946,3929901.29595348]]]";
  const auto feature = [&](const std::string& properties) {
    return R"({"type":"Feature","properties":{)" + properties + R"(},"geometry":{"type":"Polygon","coordinates":)" +
           coordinates + "}}";
  };
  test::writeText(path, R"({"type":"FeatureCollection","crs":{"type":"name","properties":)"
                        R"({"name":"urn:ogc:def:crs:EPSG::6691"}},"features":[)" +
                            feature(R"("name":"荒川","code":"A1")") + "," + feature(R"("code":"B2")") + "]}");
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
      EXPECT_TRUE(std::ranges::any_of(
          ring, [&](const LonLat& p) { return std::hypot(p.lon - corner.lon, p.lat - corner.lat) < 1e-9; }));
    }
  }
  ASSERT_TRUE(readPolygonFile(path, "code", shapes));
  EXPECT_EQ(shapes[0].name, "A1");
  EXPECT_EQ(shapes[1].name, "B2");
}

// A GeoJSON coordinate system is read only from an authority code GDAL knows: any other text sent
// GDAL searching the whole PROJ database by name, then reading the file as WGS 84 when it failed.
TEST(PolygonFile, CoordinateSystemsAreAuthorityCodes) {
  TempDir dir;
  const std::string utm = R"([[[341278.970514946,3929901.29595348],[386630.671322121,3929211.65975362],)"
                          R"([387337.684973273,3984670.88172216],[341278.970514946,3929901.29595348]]])";
  const std::string lonLat = "[[[139.25,35.5],[139.75,35.5],[139.75,36.0],[139.25,35.5]]]";
  const auto named = [](const std::string& name) { return R"({"type":"name","properties":{"name":")" + name + "\"}}"; };
  struct Case {
    std::string before, inGeometry, after;  // members placed before the features, in the geometry, after
    const std::string& coordinates;
    std::string refused;  // the declared value the message shows; empty: the file is read
  };
  const std::string slow = named("urn:ogc:def:crs:EUUUUUUUU:cUUUUUUUUUUUUUUUUUUUUUUUUUPSG::6690");
  const std::string unknown = named("urn:ogc:def:crs:EPSG::99999999");
  const std::vector<Case> cases{
      {R"("crs":)" + named("EPSG:6691") + ",", "", "", utm, ""},
      {"", "", R"(,"crs" : )" + named("http://www.opengis.net/def/crs/EPSG/0/6691"), utm, ""},
      {R"("crs":{"type":"EPSG","properties":{"code":6691}},)", "", "", utm, ""},
      {R"("crs":)" + named("urn:ogc:def:crs:OGC:1.3:CRS84") + ",", "", "", lonLat, ""},
      {R"("crs":null,)", "", "", lonLat, ""},
      {R"("crs":)" + slow + ",", "", "", lonLat, slow},
      {"", "", R"(,"cr\u0073":)" + unknown, lonLat, unknown},
      {std::string(65506, ' ') + R"("crs":)" + named("EPSG:99999999") + ",", "", "", lonLat,
       named("EPSG:99999999")},  // the name across the first 64 KiB that are read
      {"", R"("crs":"EPSG:6691",)", "", lonLat, R"("EPSG:6691")"},
      {R"("crs":{"type":"link","properties":{"href":"crs.wkt"}},)", "", "", lonLat,
       R"({"type":"link","properties":{"href":"crs.wkt"}})"},
  };
  for (const Case& c : cases) {
    const auto path = dir / "crs.geojson";
    test::writeText(path, R"({"type":"FeatureCollection",)" + c.before +
                              R"("features":[{"type":"Feature","properties":{},"geometry":{)" + c.inGeometry +
                              R"("type":"Polygon","coordinates":)" + c.coordinates + "}}]" + c.after + "}");
    std::vector<Shape> shapes;
    const core::Status read = readPolygonFile(path, std::nullopt, shapes);
    EXPECT_EQ(message(read), c.refused.empty() ? "" : std::string(messages::kPolygonCrsUnknown) + c.refused);
    if (c.refused.empty() && read) {
      EXPECT_NEAR(shapes.at(0).parts.at(0).rings.at(0).at(0).lon, 139.25, 0.01);
    }
  }
}

TEST(PolygonFile, RefusalsNameTheFileOrTheField) {
  TempDir dir;
  const std::string points = R"({"type":"FeatureCollection","features":[{"type":"Feature","properties":{},)"
                             R"("geometry":{"type":"Point","coordinates":[139,35]}}]})";
  const std::string onALine = R"({"type":"Polygon","coordinates":[[[139.1,35.1],[139.2,35.2],[139.3,35.3],[139.1,35.1]]]})";
  struct Case {
    const char* name;
    std::string text;  // none: the file is missing; "|": a named pipe
    std::optional<std::string> field;
    std::string_view message;  // followed by the field asked for, or else by the file's path
    std::optional<std::string> polygon = std::nullopt;  // or by the polygon's name
    bool gdalReason = false;  // then by GDAL's own words, in brackets
  };
  const std::vector<Case> cases{
      {"missing.shp", "", std::nullopt, messages::kPolygonFileUnreadable, std::nullopt, true},
      {"notes.txt", "not a vector file\n", std::nullopt, messages::kPolygonFileUnreadable, std::nullopt, true},
      {"points.geojson", points, std::nullopt, messages::kPolygonFileNotPolygon},
      {"empty.geojson", R"({"type":"FeatureCollection","features":[]})", std::nullopt, messages::kPolygonFileEmpty},
      {"points.geojson", points, "basin", messages::kPolygonNameFieldUnknown},
      {"pipe.geojson", "|", std::nullopt, messages::kPolygonFileUnreadable},
      {"utm.geojson", R"({"type":"FeatureCollection","crs":{"type":"name","properties":{"name":"EPSG:6691"}},)"
                      R"("features":[{"type":"Feature","properties":{},"geometry":)" +
                          std::string(onALine).replace(onALine.find("139.2"), 5, "1e30") + "}]}",
       std::nullopt, messages::kPolygonNotTransformable, std::nullopt, true},
      {"line.geojson", onALine, std::nullopt, messages::kPolygonRingWithoutArea, "polygon 1"},
      {"far.geojson", std::string(onALine).replace(onALine.find("139.2"), 5, "1e999"), std::nullopt,
       messages::kPolygonCoordinateNotFinite, "polygon 1"},
  };
  for (const Case& c : cases) {
    if (c.text == "|") ASSERT_EQ(::mkfifo((dir / c.name).c_str(), 0600), 0);
    else if (!c.text.empty()) test::writeText(dir / c.name, c.text);
    std::vector<Shape> shapes{Shape{"kept", {}}};
    const std::string said = message(readPolygonFile(dir / c.name, c.field, shapes));
    const std::string sentence =
        std::string(c.message) + c.polygon.value_or(c.field.value_or((dir / c.name).string()));
    if (!c.gdalReason) EXPECT_EQ(said, sentence);
    else EXPECT_TRUE(said.starts_with(sentence + std::string(messages::kReasonPrefix)) &&
                     said.ends_with(messages::kReasonSuffix) && said.size() > sentence.size() + 12) << said;
    EXPECT_EQ(shapes.size(), 1U);
  }
}

}  // namespace
}  // namespace ombrix::gis
