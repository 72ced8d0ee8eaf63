// ombrix-tool on archives: preprocess, info, areal and series on one made with the encoder,
// import-grib2, and paths a user may have (spaces, Japanese characters and
// components close to 255 bytes) end to end.
#include <gtest/gtest.h>

#include "core/archive_calendar.h"
#include "core/messages.h"
#include "tests/cli/cli_test_support.h"

namespace ombrix {
namespace {

namespace fs = std::filesystem;
using test::expectRefused;
using test::shellQuote;
using test::tool;

// Basins: one with a hole inside the grid, one reaching past the grid's east edge
// (137 + 39 x 0.03125 = 138.21875).
struct ArealArchive : test::JulyArchive {
  fs::path polygons = dir / "basins.geojson";
  ArealArchive() {
    test::writeText(polygons, R"({"type":"FeatureCollection","features":[
{"type":"Feature","properties":{"name":"上流, 北"},"geometry":{"type":"Polygon","coordinates":[
 [[137.3,38.6],[137.7,38.62],[137.65,38.85],[137.35,38.8],[137.3,38.6]],
 [[137.45,38.7],[137.55,38.7],[137.5,38.75],[137.45,38.7]]]}},
{"type":"Feature","properties":{"name":"east"},"geometry":{"type":"Polygon","coordinates":[
 [[138.0,38.5],[138.5,38.5],[138.5,38.7],[138.0,38.7],[138.0,38.5]]]}}]})");
  }
};

TEST(PreprocessCommand, NamesTheFileInfoDescribesItAndOnlyForceReplacesIt) {
  test::JulyArchive a;
  const std::string path = a.preprocess();
  EXPECT_EQ(path, (a.dir / "Ka20057012005702.RMD").string());
  const auto info = tool("info " + shellQuote(path));
  ASSERT_EQ(info.exitCode, 0) << info.err;
  for (const char* line : {"frames:          96\n", "rows x columns:  30 x 40\n", "empty frames:    8 (88-95)\n"}) {
    EXPECT_NE(info.out.find(line), std::string::npos) << line << info.out;
  }
  test::writeText(a.dir / "short.RMD", "too short");
  EXPECT_EQ(tool("info " + shellQuote((a.dir / "short.RMD").string())).exitCode, 1);
  expectRefused(tool("preprocess " + a.archive() + " --region Ka --from 2005-07-01 --to 2005-07-03"), messages::kMissingFile);
  const std::vector<std::uint8_t> written = test::readBytes(path);
  test::writeText(path, "keep");
  const std::string command = "preprocess " + a.archive() + " --region Ka --from 2005-07-01 --to 2005-07-02";
  expectRefused(tool(command), std::string(messages::kOutputExists) + path);
  EXPECT_EQ(test::readText(path), "keep");
  ASSERT_EQ(tool(command + " --force").exitCode, 0);
  EXPECT_EQ(test::readBytes(path), written);
  EXPECT_EQ(a.preprocess("--from 2005-07-01 --to 2005-07-01 --region My --area 38.9,137.1,38.8,137.2"),
            (a.dir / "My20057012005701.RMD").string());
}

TEST(ArealCommand, ArchiveFormEqualsRmdFormWithSlotTimesForMissingFramesAndRefusalsWriteNothing) {
  ArealArchive a;
  const std::string rmd = a.preprocess();
  const std::string common = " --polygons " + shellQuote(a.polygons.string()) + " --durations 1,3";
  const auto fromRmd = tool("areal " + shellQuote(rmd) + common);
  ASSERT_EQ(fromRmd.exitCode, 0) << fromRmd.err;
  const fs::path rmdCsv = a.dir / "Ka20057012005702-areal.csv";
  EXPECT_EQ(fromRmd.out, rmdCsv.string() + "\n" + (a.dir / "Ka20057012005702-areal-durations.csv").string() + "\n");
  // An option given twice keeps its last value: these durations are 1 and 3 as above.
  const fs::path archiveCsv = a.dir / "from-archive.csv";
  ASSERT_EQ(tool("areal " + a.archive() + " --from 2005-07-01 --to 2005-07-02 --out " + shellQuote(archiveCsv.string()) +
                 " --durations 2" + common).exitCode, 0);

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

  // Cell 0 of the first record is (0 + 13 x 0 + 1) % 97 - 2 = -1, of the second 12.
  const auto series = test::crlfLines(
      test::readText(test::printedPath(tool("series " + shellQuote(rmd) + " --lat 39.005 --lon 136.99"))).substr(3));
  ASSERT_EQ(series.size(), 97U);
  EXPECT_EQ((std::vector{series[0], series[1], series[2], series[96]}),
            (std::vector<std::string>{"time,value", "2005-07-01 00:00,", "2005-07-01 00:30,1.2", "2005-07-02 23:30,"}));

  // Refusals write nothing.
  const fs::path outside = a.dir / "outside.geojson";
  test::writeText(outside, R"({"type":"FeatureCollection","features":[{"type":"Feature","properties":{},)"
                           R"("geometry":{"type":"Polygon","coordinates":[[[140,35],[141,35],[141,36],[140,35]]]}}]})");
  const fs::path out = a.dir / "out.csv";
  const std::string target = " --out " + shellQuote(out.string());
  expectRefused(tool("areal " + shellQuote(rmd) + " --polygons " + shellQuote(outside.string()) + target),
                std::string(messages::kPolygonOutsideGrid) + "polygon 1");
  expectRefused(tool("series " + shellQuote(rmd) + " --lat 38 --lon 137.5" + target), messages::kPointOutsideGrid);
  EXPECT_FALSE(fs::exists(out));
  EXPECT_EQ(tool("areal " + shellQuote(rmd) + " --durations 0 --polygons x").exitCode, 2);
}

// A damaged index: the first stamp decides no clock, and stamps that are no calendar time on
// their slot's day are printed as their slots' times; a real time of the day stays.
TEST(SeriesCommand, PrintsTheSlotsTimeForAStampThatIsNoRealTimeOfItsSlot) {
  test::RainFile f;
  std::vector<core::TimeStamp> stamps = test::dayStamps(2005, 7, 1, 2, 48);
  const std::vector<core::TimeStamp> damaged{{2005, 13, 1, 255, 30}, {-32768, 7, 1, 0, 30}, {2005, 2, 30, 1, 0},
                                             {2005, 7, 1, 1, 60}, {2005, 7, 1, 2, 0}, {2004, 7, 1, 2, 30},
                                             {2005, 7, 1, 3, 15}};
  std::copy(damaged.begin(), damaged.end(), stamps.begin());
  test::writeSampleRmd(f.path, test::sampleGrid(96, 2, 3), 48, stamps,
                       [](int k, int) { return static_cast<std::int16_t>(k); });
  const auto lines = test::crlfLines(test::readText(test::printedPath(tool("series " + f.file + " --id 0"))).substr(3));
  ASSERT_EQ(lines.size(), 97u);
  EXPECT_EQ(std::vector(lines.begin() + 1, lines.begin() + 8),
            (std::vector<std::string>{"2005-07-01 00:00,0.0", "2005-07-01 00:30,0.1", "2005-07-01 01:00,0.2",
                                      "2005-07-01 01:30,0.3", "2005-07-01 02:00,0.4", "2005-07-01 02:30,0.5",
                                      "2005-07-01 03:15,0.6"}));
}

using test::TempDir;

const std::string kRealName = "Z__C_RJTD_20210817090000_SRF_GPV_Ggis1km_Prr60lv_ANAL_grib2.bin";

// Refused while no day can be written, then a real file imported beside a broken one.
TEST(ImportGrib2Command, ImportsWhatItCanNamesWhatItSkippedAndRefusesWhenNoDayCanBeWritten) {
  TempDir dir;
  const std::string command = "import-grib2 --archive " + shellQuote((dir / "archive").string()) + " ";
  const fs::path broken = dir / "in" / "Z__C_RJTD_20210817093000_SRF_GPV_Ggis1km_Prr60lv_ANAL_grib2.bin";
  fs::create_directories(dir / "in" / "2021");
  test::writeText(broken, "GRIB");
  auto run = tool(command + shellQuote((dir / "in").string()));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find(std::string(messages::kGrib2NoDayWritten)), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists(dir / "archive"));
  run = tool(command + shellQuote((dir / "empty-folder-that-is-not-there").string()));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find(std::string(messages::kGrib2InputMissing)), std::string::npos) << run.err;
  EXPECT_EQ(tool("import-grib2 --archive " + shellQuote(dir.path().string())).exitCode, 2);

  fs::copy_file(fs::path(OMBRIX_DATA_DIR) / kRealName, dir / "in" / "2021" / kRealName);
  run = tool(command + shellQuote((dir / "in").string()));
  EXPECT_EQ(run.exitCode, 0) << run.err;
  const std::string day = core::archiveFilePath((dir / "archive").string(), 2021, 8, 17);
  EXPECT_EQ(run.out, day + "\n");
  EXPECT_TRUE(fs::exists(day));
  EXPECT_NE(run.err.find(std::string(messages::kNotGrib2Rainfall) + broken.string()), std::string::npos) << run.err;
  EXPECT_NE(run.err.find(std::string(messages::kImportSummaryImported) + "1\n"), std::string::npos) << run.err;
}

// " 長長…長" of 247 bytes: a folder name near the 255-byte limit of a path component.
std::string longJapaneseName() {
  std::string name = " ";
  for (int k = 0; k < 82; ++k) name += "長";
  return name;
}

TEST(HostilePaths, SpacesJapaneseAndLongFolderNamesEndToEnd) {
  TempDir dir;
  const fs::path archive = dir / "レーダー アメダス 2005" / longJapaneseName();
  test::writeArchiveDays(archive, test::reliabilityGrid(16, 12), 1);

  const fs::path rmd = archive / "AJ20057012005701.RMD";
  ASSERT_EQ(test::printedPath(tool("preprocess --archive " + shellQuote(archive.string()) +
                                   " --region AJ --from 2005-07-01 --to 2005-07-01")),
            rmd.string());
  const fs::path set = archive / "AJ2005070120050701";
  ASSERT_EQ(test::printedPath(tool("export-period " + shellQuote(rmd.string()))), set.string());
  EXPECT_TRUE(fs::is_regular_file(set / "20050701.CSV"));
  EXPECT_EQ(test::printedPath(tool("table " + shellQuote(set.string()) + " --id 191")), (set / "191.csv").string());
  EXPECT_EQ(test::crlfLines(test::readText(set / "191.csv")).size(), 2u);
}

}  // namespace
}  // namespace ombrix
