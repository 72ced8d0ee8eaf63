// The GIS writers (NetCDF from an RMD file and from the archive, GeoTIFF, duration map, areal
// rainfall with durations) killed at known steps, under a file-size limit with the signal's
// default action, on a full disk, and given long names or a folder as their target: old
// targets stay byte for byte, no file of any name is left, and a failure ends with the
// writer's message, the reason the system gave, and exit code 1.
#include <sys/mount.h>

#include <cstring>

#include "core/messages.h"
#include "support/fault_injection.h"
#include "tests/cli/cli_test_support.h"

namespace ombrix {
namespace {

namespace fs = std::filesystem;

struct Writer {
  std::vector<std::string> arguments;  // the first word names the writer in failures
  std::vector<std::string> targets;    // sorted names in the output folder
  std::vector<int> killSteps;          // output steps at which a run is still writing
  std::string_view failure;            // the message of a failed write, before the first target
};

// Inputs: six days of 90 x 120 half-hourly cells of noise, three hours of 600 x 800 cells (maps
// with overviews), a day in the archive and two basins; outputs go to out.
struct GisWriters {
  test::TempDir dir;
  fs::path out = dir / "out";
  std::string rmd = (dir / "Ka20057012005701.RMD").string();
  std::string wide = (dir / "My20057012005701.RMD").string();
  std::string archive = (dir / "archive").string();
  std::string polygons = (dir / "basins.geojson").string();

  GisWriters() {
    const test::CellValue noise = [](int k, int c) {
      return static_cast<std::int16_t>(((c * 2654435761u + k * 40503u) >> 9) % 500);
    };
    test::writeSampleRmd(rmd, test::sampleGrid(48 * 6, 90, 120), 48, test::dayStamps(2005, 7, 1, 6, 48), noise);
    test::writeSampleRmd(wide, test::sampleGrid(6, 600, 800), 48, test::dayStamps(2005, 7, 1, 1, 48), noise);
    test::writeArchiveDays(archive, test::reliabilityGrid(96, 64), 1);
    test::writeText(polygons, R"({"type":"FeatureCollection","features":[
{"type":"Feature","properties":{"name":"a"},"geometry":{"type":"Polygon","coordinates":[
 [[139.2,35.5],[139.9,35.5],[139.9,35.9],[139.2,35.9],[139.2,35.5]]]}},
{"type":"Feature","properties":{"name":"b"},"geometry":{"type":"Polygon","coordinates":[
 [[140.1,35.4],[140.4,35.4],[140.4,35.7],[140.1,35.4]]]}}]})");
    fs::create_directory(out);
  }

  // Each writer with its targets named after stem.
  std::vector<Writer> writers(const std::string& stem) const {
    const std::string nc = (out / (stem + ".nc")).string();
    const std::string tif = (out / (stem + ".tif")).string();
    const std::string csv = stem + "-areal.csv";
    return {
        {{"export-netcdf", rmd, "--force", "--out", nc}, {stem + ".nc"}, {1, 150, 289}, messages::kNetcdfNotWritten},
        {{"export-netcdf", "--archive", archive, "--region", "AJ", "--from", "2005-07-01", "--to", "2005-07-01",
          "--force", "--out", nc},
         {stem + ".nc"}, {1, 30, 49}, messages::kNetcdfNotWritten},
        {{"export-geotiff", wide, "--frame", "5", "--out", tif}, {stem + ".qml", stem + ".tif"}, {1, 3, 5},
         messages::kGeoTiffNotWritten},
        {{"export-duration-max", wide, "--hours", "3", "--out", tif}, {stem + ".qml", stem + ".tif"}, {1, 3, 5},
         messages::kGeoTiffNotWritten},
        {{"areal", rmd, "--polygons", polygons, "--durations", "1,3", "--out", (out / csv).string()},
         {stem + "-areal-durations.csv", csv}, {1, 2, 3, 4}, messages::kCannotWriteFile},
    };
  }

  test::CommandResult run(const Writer& w, const std::string& before = "") const {
    std::string line = before + test::shellQuote(std::string(OMBRIX_BIN_DIR) + "/ombrix-tool");
    for (const std::string& word : w.arguments) line.append(" ").append(test::shellQuote(word));
    return test::runCommand(line);
  }
  void writeOldTargets(const Writer& w) const {
    for (const std::string& name : w.targets) test::writeText(out / name, "old " + name);
  }
  // out holds the old targets alone, unchanged; they are removed for the next writer.
  void expectOldTargetsAlone(const Writer& w, const std::string& when) const {
    EXPECT_EQ(test::namesIn(out), w.targets) << w.arguments[0] << " " << when;
    for (const std::string& name : w.targets) {
      EXPECT_EQ(test::readText(out / name), "old " + name) << w.arguments[0] << " " << when;
      fs::remove(out / name);
    }
  }
};

TEST(GisWriters, KilledAtKnownStepsLeaveTheOldTargetsAndNoFileOfAnyName) {
  const GisWriters g;
  for (const Writer& w : g.writers("map")) {
    for (const int step : w.killSteps) {
      g.writeOldTargets(w);
      ASSERT_EQ(test::runToolKilledAt(w.arguments, step).signal, SIGKILL) << w.arguments[0] << " finished first";
      g.expectOldTargetsAlone(w, "killed at step " + std::to_string(step));
    }
  }
}

// Under `ulimit -f` with SIGXFSZ at its default action, then on a small tmpfs the test mounts.
TEST(GisWriters, FailingWritesReportTheirMessageWithTheReasonAndLeaveTheOldTargets) {
  ::signal(SIGXFSZ, SIG_DFL);
  const GisWriters g;
  const auto expectFailure = [&](const Writer& w, const std::string& before, const char* how) {
    g.writeOldTargets(w);
    const test::CommandResult run = g.run(w, before);
    EXPECT_EQ(run.exitCode, 1) << w.arguments[0] << " " << how << ": " << run.err;
    const std::string said = std::string(w.failure) + (g.out / w.targets.back()).string();
    EXPECT_EQ(run.err.rfind(said + std::string(messages::kReasonPrefix), 0), 0u) << how << ": " << run.err;
    g.expectOldTargetsAlone(w, how);
  };
  for (const Writer& w : g.writers("map")) expectFailure(w, "ulimit -f 8 && ", "under ulimit -f 8");
  for (const Writer& w : g.writers("map")) {
    const std::string size = "size=" + std::to_string(4 * w.targets.size() + 8) + "k";
    if (::mount("tmpfs", g.out.c_str(), "tmpfs", 0, size.c_str()) != 0) {
      GTEST_SKIP() << "no small tmpfs to fill: mount failed (" << std::strerror(errno) << ")";
    }
    expectFailure(w, "", "on a full disk");
    ::umount2(g.out.c_str(), MNT_DETACH);
  }
}

// Names of 237 to 255 bytes are written; a folder in the place of the target is refused as such.
TEST(GisWriters, WriteLongNamesAndRefuseAFolderAsTarget) {
  const GisWriters g;
  std::string stem;
  for (int k = 0; k < 78; ++k) stem += "長";
  for (const Writer& w : g.writers(stem)) {
    EXPECT_EQ(g.run(w).exitCode, 0) << w.arguments[0];
    EXPECT_EQ(test::namesIn(g.out), w.targets) << w.arguments[0];
    for (const std::string& name : w.targets) fs::remove(g.out / name);
  }
  for (const Writer& w : g.writers("map")) {
    fs::create_directory(g.out / w.targets.back());
    test::expectRefused(g.run(w), std::string(messages::kOutputIsFolder) + (g.out / w.targets.back()).string());
    fs::remove(g.out / w.targets.back());
  }
}

}  // namespace
}  // namespace ombrix
