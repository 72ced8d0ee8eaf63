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
using test::TempDir;

// Six days of 90 x 120 half-hourly cells of noise, a day in the archive, and two basins.
struct GisInputs {
  TempDir dir;
  fs::path rmd = dir / "Ka20057012005701.RMD";
  fs::path archive = dir / "archive";
  fs::path polygons = dir / "basin.geojson";
  GisInputs() {
    test::writeSampleRmd(rmd, test::sampleGrid(48 * 6, 90, 120), 48, test::dayStamps(2005, 7, 1, 6, 48),
                         [](int k, int c) { return static_cast<std::int16_t>((c * 2654435761u + k * 40503u) >> 9) % 500; });
    test::writeArchiveDays(archive, test::reliabilityGrid(96, 64), 1);
    test::writeText(polygons, R"({"type":"FeatureCollection","features":[
{"type":"Feature","properties":{"name":"a"},"geometry":{"type":"Polygon","coordinates":[
 [[139.2,35.5],[139.9,35.5],[139.9,35.9],[139.2,35.9],[139.2,35.5]]]}},
{"type":"Feature","properties":{"name":"b"},"geometry":{"type":"Polygon","coordinates":[
 [[140.1,35.4],[140.4,35.4],[140.4,35.7],[140.1,35.4]]]}}]})");
  }
};

struct Writer {
  const char* name;
  std::vector<std::string> arguments;
  std::vector<std::string> targets;  // the names it writes in its output folder
  std::vector<int> killSteps;        // output steps at which a run is still writing
  std::string_view failure;          // the message of a failed write, followed by the first target
};

// Each writer with its targets named after stem in folder.
std::vector<Writer> writers(const GisInputs& in, const fs::path& folder, const std::string& stem) {
  const std::string nc = stem + ".nc";
  const std::string tif = stem + ".tif";
  const std::string csv = stem + "-areal.csv";
  const std::string rmd = in.rmd.string();
  return {
      {"export-netcdf", {"export-netcdf", rmd, "--force", "--out", (folder / nc).string()}, {nc}, {1, 150, 289},
       messages::kNetcdfNotWritten},
      {"export-netcdf --archive",
       {"export-netcdf", "--archive", in.archive.string(), "--region", "AJ", "--from", "2005-07-01", "--to",
        "2005-07-01", "--force", "--out", (folder / nc).string()},
       {nc}, {1, 30, 49}, messages::kNetcdfNotWritten},
      {"export-geotiff", {"export-geotiff", rmd, "--frame", "5", "--out", (folder / tif).string()}, {tif}, {1, 2},
       messages::kGeoTiffNotWritten},
      {"export-duration-max", {"export-duration-max", rmd, "--hours", "3", "--out", (folder / tif).string()}, {tif},
       {1, 2}, messages::kGeoTiffNotWritten},
      {"areal --durations",
       {"areal", rmd, "--polygons", in.polygons.string(), "--durations", "1,3", "--out", (folder / csv).string()},
       {csv, stem + "-areal-durations.csv"}, {1, 2, 3, 4}, messages::kCannotWriteFile},
  };
}

std::string commandLine(const std::vector<std::string>& arguments) {
  std::string line = test::shellQuote(std::string(OMBRIX_BIN_DIR) + "/ombrix-tool");
  for (const std::string& word : arguments) line.append(" ").append(test::shellQuote(word));
  return line;
}

// Puts "old <name>" in each target; checks that folder holds those files alone, unchanged.
void writeOldTargets(const fs::path& folder, const Writer& w) {
  for (const std::string& name : w.targets) test::writeText(folder / name, "old " + name);
}
void expectOldTargetsAlone(const fs::path& folder, const Writer& w, const std::string& when) {
  std::vector<std::string> names = w.targets;
  std::sort(names.begin(), names.end());
  EXPECT_EQ(test::namesIn(folder), names) << w.name << " " << when;
  for (const std::string& name : w.targets) {
    EXPECT_EQ(test::readText(folder / name), "old " + name) << w.name << " " << when;
  }
}

TEST(KilledGisWriters, LeaveTheOldTargetsAndNoFileOfAnyName) {
  GisInputs in;
  const fs::path out = in.dir / "out";
  fs::create_directory(out);
  for (const Writer& w : writers(in, out, "map")) {
    writeOldTargets(out, w);
    for (const int step : w.killSteps) {
      ASSERT_EQ(test::runToolKilledAt(w.arguments, step).signal, SIGKILL) << w.name << " ended before step " << step;
      expectOldTargetsAlone(out, w, "killed at step " + std::to_string(step));
    }
    for (const std::string& name : w.targets) fs::remove(out / name);
  }
}

// A failed write, under `ulimit -f` with SIGXFSZ at its default action or on a small tmpfs the
// test mounts, leaves the old targets and reports the writer's message with the reason.
TEST(FailingGisWriters, ReportTheirMessageWithTheReasonUnderAFileSizeLimitAndOnAFullDisk) {
  ::signal(SIGXFSZ, SIG_DFL);
  GisInputs in;
  const fs::path out = in.dir / "out";
  fs::create_directory(out);
  const auto expectFailure = [&](const Writer& w, const std::string& prefix, const char* how) {
    writeOldTargets(out, w);
    const test::CommandResult run = test::runCommand(prefix + commandLine(w.arguments));
    EXPECT_EQ(run.exitCode, 1) << w.name << " " << how << ": " << run.err;
    const std::string said = std::string(w.failure) + (out / w.targets.front()).string() + std::string(messages::kReasonPrefix);
    EXPECT_EQ(run.err.rfind(said, 0), 0u) << w.name << " " << how << ": " << run.err;
    expectOldTargetsAlone(out, w, how);
    for (const std::string& name : w.targets) fs::remove(out / name);
  };
  for (const Writer& w : writers(in, out, "map")) expectFailure(w, "ulimit -f 8 && ", "under ulimit -f 8");

  for (const Writer& w : writers(in, out, "map")) {
    const std::string size = "size=" + std::to_string(4 * w.targets.size() + 8) + "k";
    if (::mount("tmpfs", out.c_str(), "tmpfs", 0, size.c_str()) != 0) {
      GTEST_SKIP() << "no small tmpfs to fill: mount failed (" << std::strerror(errno) << ")";
    }
    expectFailure(w, "", "on a full disk");
    ::umount2(out.c_str(), MNT_DETACH);
  }
}

// Names of 234 to 255 bytes, near the file system's limit, are written; a folder in the place
// of the target is refused as such and kept.
TEST(GisWriterTargets, LongNamesAreWrittenAndAFolderIsRefusedAsSuch) {
  GisInputs in;
  std::string stem;
  for (int k = 0; k < 78; ++k) stem += "長";
  const fs::path out = in.dir / "out";
  fs::create_directory(out);
  for (const Writer& w : writers(in, out, stem)) {
    const test::CommandResult run = test::runCommand(commandLine(w.arguments));
    EXPECT_EQ(run.exitCode, 0) << w.name << ": " << run.err;
    std::vector<std::string> names = w.targets;
    std::sort(names.begin(), names.end());
    EXPECT_EQ(test::namesIn(out), names) << w.name;
    for (const std::string& name : w.targets) fs::remove(out / name);
  }
  for (const Writer& w : writers(in, out, "map")) {
    fs::create_directory(out / w.targets.front());
    test::expectRefused(test::runCommand(commandLine(w.arguments)),
                        std::string(messages::kOutputIsFolder) + (out / w.targets.front()).string());
    EXPECT_TRUE(fs::is_empty(out / w.targets.front())) << w.name;
    fs::remove(out / w.targets.front());
  }
}

}  // namespace
}  // namespace ombrix
