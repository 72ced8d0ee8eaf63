// ombrix-tool areal, series and export-duration-max on an archive made with the encoder.
#include <gtest/gtest.h>

#include "core/archive_calendar.h"
#include "core/messages.h"
#include "core/rap_encoder.h"
#include "support/sample_rmd.h"
#include "support/test_support.h"
#include "tests/cli/cli_test_support.h"

namespace ombrix {
namespace {

namespace fs = std::filesystem;
using test::shellQuote;
using test::TempDir;
using test::tool;

// A 40 x 30 half-hourly grid from 137 E, 39 N over 1 and 2 July 2005, the second day eight
// records short; a few cells have no data. Basins: one with a hole inside the grid, one
// reaching past the grid's east edge (137 + 39 x 0.03125 = 138.21875).
struct ArealArchive {
  TempDir dir;
  const core::GridDescription grid{39000000, 137000000, 31250, 20833, 40, 30};
  fs::path polygons = dir / "basins.geojson";

  ArealArchive() {
    writeDay(1, 48);
    writeDay(2, 40);
    test::writeText(polygons, R"({"type":"FeatureCollection","features":[
{"type":"Feature","properties":{"name":"上流, 北"},"geometry":{"type":"Polygon","coordinates":[
 [[137.3,38.6],[137.7,38.62],[137.65,38.85],[137.35,38.8],[137.3,38.6]],
 [[137.45,38.7],[137.55,38.7],[137.5,38.75],[137.45,38.7]]]}},
{"type":"Feature","properties":{"name":"east"},"geometry":{"type":"Polygon","coordinates":[
 [[138.0,38.5],[138.5,38.5],[138.5,38.7],[138.0,38.7],[138.0,38.5]]]}}]})");
  }
  void writeDay(int day, int count) const {
    std::vector<core::ArchiveRecord> records;
    for (int j = 0; j < count; ++j) {
      std::vector<std::int16_t> values(grid.cellCount());
      for (std::size_t c = 0; c < values.size(); ++c) {
        values[c] = static_cast<std::int16_t>((c * 7 + static_cast<std::size_t>(j * 13 + day)) % 97 - 2);
      }
      records.push_back({{2005, 7, static_cast<std::uint8_t>(day), static_cast<std::uint8_t>(j / 2),
                          static_cast<std::uint8_t>(j % 2 * 30)},
                         values});
    }
    const fs::path path = core::archiveFilePath(dir.path().string(), 2005, 7, day);
    fs::create_directories(path.parent_path());
    EXPECT_TRUE(core::writeArchiveFile(path, grid, records));
  }
  std::string archive() const { return "--archive " + shellQuote(dir.path().string()); }
  std::string preprocess() const {
    const auto run = tool("preprocess " + archive() + " --region 関東 --from 2005-07-01 --to 2005-07-02");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    return run.out.substr(0, run.out.size() - 1);
  }
};

TEST(ArealCommand, ArchiveFormEqualsRmdFormWithSlotTimesForMissingFrames) {
  ArealArchive a;
  const std::string rmd = a.preprocess();
  const std::string common = " --polygons " + shellQuote(a.polygons.string()) + " --durations 1,3";
  const auto fromRmd = tool("areal " + shellQuote(rmd) + common);
  ASSERT_EQ(fromRmd.exitCode, 0) << fromRmd.err;
  const fs::path rmdCsv = a.dir / "Ka20057012005702-areal.csv";
  EXPECT_EQ(fromRmd.out, rmdCsv.string() + "\n" + (a.dir / "Ka20057012005702-areal-durations.csv").string() + "\n");
  const fs::path archiveCsv = a.dir / "from-archive.csv";
  const auto fromArchive =
      tool("areal " + a.archive() + " --from 2005-07-01 --to 2005-07-02 --out " + shellQuote(archiveCsv.string()) + common);
  ASSERT_EQ(fromArchive.exitCode, 0) << fromArchive.err;

  const std::string text = test::readText(rmdCsv);
  EXPECT_EQ(text, test::readText(archiveCsv));
  EXPECT_EQ(test::readText(a.dir / "Ka20057012005702-areal-durations.csv"),
            test::readText(a.dir / "from-archive-areal-durations.csv"));
  ASSERT_EQ(text.rfind("\xEF\xBB\xBF", 0), 0U);
  const auto lines = test::crlfLines(text.substr(3));
  ASSERT_EQ(lines.size(), 97U);
  EXPECT_EQ(lines[0], "time,\"上流, 北\",east,\"上流, 北 coverage\",east coverage");
  EXPECT_EQ(lines[2].substr(0, 17), "2005-07-01 00:30,");
  // Less than half of "east" lies on the grid (138.0 to 138.234375 of 138.0 to 138.5).
  EXPECT_EQ(lines[2].substr(lines[2].rfind(',') + 1, 3), "0.4") << lines[2];
  EXPECT_EQ(lines[96], "2005-07-02 23:30,,,0.000,0.000");
}

TEST(ArealCommand, RefusalsWriteNothing) {
  ArealArchive a;
  const std::string rmd = a.preprocess();
  const fs::path outside = a.dir / "outside.geojson";
  test::writeText(outside, R"({"type":"FeatureCollection","features":[{"type":"Feature","properties":{},)"
                           R"("geometry":{"type":"Polygon","coordinates":[[[140,35],[141,35],[141,36],[140,35]]]}}]})");
  const fs::path out = a.dir / "out.csv";
  const std::string target = " --out " + shellQuote(out.string());
  test::expectRefused(tool("areal " + shellQuote(rmd) + " --polygons " + shellQuote(outside.string()) + target),
                      std::string(messages::kPolygonOutsideGrid) + "polygon 1");
  test::expectRefused(tool("areal " + shellQuote(rmd) + " --polygons " + shellQuote(a.polygons.string()) +
                           " --name-field basin" + target),
                      std::string(messages::kPolygonNameFieldUnknown) + "basin");
  test::expectRefused(tool("series " + shellQuote(rmd) + " --lat 38 --lon 137.5" + target), messages::kPointOutsideGrid);
  EXPECT_FALSE(fs::exists(out));
  EXPECT_EQ(tool("areal " + shellQuote(rmd) + " --durations 0 --polygons x").exitCode, 2);
}

TEST(SeriesCommand, OneCellEveryFrameInMillimetresPerHour) {
  ArealArchive a;
  const std::string rmd = a.preprocess();
  // Cell 0 of the first record is (0 + 13 x 0 + 1) % 97 - 2 = -1, of the second 12.
  const auto run = tool("series " + shellQuote(rmd) + " --lat 39.005 --lon 136.99");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const auto lines = test::crlfLines(test::readText(run.out.substr(0, run.out.size() - 1)).substr(3));
  ASSERT_EQ(lines.size(), 97U);
  EXPECT_EQ(lines[0], "time,value");
  EXPECT_EQ(lines[1], "2005-07-01 00:00,");
  EXPECT_EQ(lines[2], "2005-07-01 00:30,1.2");
  EXPECT_EQ(lines[96], "2005-07-02 23:30,");
}

}  // namespace
}  // namespace ombrix
