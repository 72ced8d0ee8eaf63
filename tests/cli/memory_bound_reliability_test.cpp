// Memory bounded by the data: on a file of C cells a frame, each command's peak memory stays
// within a fixed allowance plus its bytes per cell times C, whatever the number of frames or
// the duration. The file's cells are the holes of a sparse file, so it costs no disk.
#include <gtest/gtest.h>

#include "cli_test_support.h"
#include "support/fault_injection.h"

namespace ombrix {
namespace {

namespace fs = std::filesystem;

constexpr int kSide = 8192;
constexpr int kFrames = 8;
constexpr long kAllowanceKilobytes = 64 * 1024;

// kFrames half-hourly frames of kSide x kSide cells, 0.5 mm/h in cell 0 and 0 elsewhere.
fs::path sparseRmd(const fs::path& dir) {
  const fs::path path = dir / "Ka20057012005701.RMD";
  const std::vector<core::TimeStamp> stamps = test::dayStamps(2005, 7, 1, 1, 48);
  core::RmdWriter writer;
  EXPECT_TRUE(writer.create(path, test::sampleGrid(kFrames, kSide, kSide), 48));
  const std::int16_t rain[] = {5};
  for (int k = 0; k < kFrames; ++k) {
    writer.setEntry(k, stamps[static_cast<std::size_t>(k)]);
    EXPECT_TRUE(writer.writeFrame(k, rain));
  }
  EXPECT_TRUE(writer.commit());
  fs::resize_file(path, static_cast<std::uintmax_t>(writer.frameOffset(kFrames - 1)) + 2ULL * kSide * kSide);
  return path;
}

TEST(MemoryBound, EachCommandStaysWithinItsBytesPerCell) {
  test::TempDir dir;
  const std::string file = sparseRmd(dir.path()).string();
  test::writeText(dir / "basin.geojson",
                  R"({"type":"FeatureCollection","features":[{"type":"Feature","properties":{"name":"a"},)"
                  R"("geometry":{"type":"Polygon","coordinates":[[[139,36],[139.5,36],[139.5,35.5],[139,36]]]}}]})");
  const auto out = [&](const char* name) { return (dir / name).string(); };
  struct Case {
    std::vector<std::string> arguments;
    long bytesPerCell;  // series reads one cell a frame: no grid at all
  };
  const Case cases[] = {
      {{"series", file, "--id", std::to_string(kSide * kSide - 1), "--out", out("s.csv")}, 0},
      {{"export-duration-max", file, "--hours", "2", "--out", out("d.tif")}, 16},
      {{"export-geotiff", file, "--frame", "7", "--out", out("g.tif")}, 16},
      {{"export-netcdf", file, "--from", "6", "--to", "7", "--out", out("n.nc")}, 16},
      {{"areal", file, "--polygons", out("basin.geojson"), "--durations", "1", "--out", out("a.csv")}, 16},
  };
  for (const Case& c : cases) {
    const test::ChildOutcome run = test::runToolKilledAt(c.arguments, 0);  // 0: never killed
    EXPECT_EQ(run.exitCode, 0) << c.arguments[0] << " ended by signal " << run.signal;
    EXPECT_LE(run.peakKilobytes, kAllowanceKilobytes + c.bytesPerCell * kSide * kSide / 1024) << c.arguments[0];
  }
}

}  // namespace
}  // namespace ombrix
