// Memory bounded by the data: on a file of C cells a frame, a command's peak memory stays
// within 64 MB plus its bytes per cell times C, whatever the frames and the duration. The
// file's cells are the holes of a sparse file, so it costs no disk.
#include <gtest/gtest.h>

#include "cli_test_support.h"
#include "support/fault_injection.h"

namespace ombrix {
namespace {

TEST(MemoryBound, EachCommandStaysWithinItsBytesPerCellPlus64Megabytes) {
#ifdef __SANITIZE_ADDRESS__
  GTEST_SKIP() << "AddressSanitizer's shadow memory and quarantine are part of every peak: the release build checks it";
#endif
  constexpr long kSide = 8192;
  test::TempDir dir;
  const std::string file = (dir / "Ka20057012005701.RMD").string();
  {  // 8 half-hourly frames with 0.5 mm/h in cell 0; the writer's frame buffer freed before the runs
    core::RmdWriter writer;
    ASSERT_TRUE(writer.create(file, test::sampleGrid(8, kSide, kSide), 48));
    const std::int16_t rain[] = {5};
    for (int k = 0; k < 8; ++k) {
      writer.setEntry(k, {2005, 7, 1, static_cast<std::uint8_t>(k / 2), static_cast<std::uint8_t>(k % 2 * 30)});
      ASSERT_TRUE(writer.writeFrame(k, rain));
    }
    ASSERT_TRUE(writer.commit());
    std::filesystem::resize_file(file, static_cast<std::uintmax_t>(writer.frameOffset(7) + 2 * kSide * kSide));
  }
  const std::string out = (dir / "out").string();
  test::writeText(out + ".geojson", R"({"type":"Feature","properties":{"name":"a"},"geometry":{"type":"Polygon",)"
                                    R"("coordinates":[[[139,36],[139.5,36],[139.5,35.5],[139,36]]]}})");
  const std::pair<std::vector<std::string>, long> cases[] = {  // series reads a cell a frame: no grid
      {{"series", file, "--id", std::to_string(kSide * kSide - 1), "--out", out + ".csv"}, 0},
      {{"export-duration-max", file, "--hours", "2", "--out", out + "-max.tif"}, 16},
      {{"export-geotiff", file, "--frame", "7", "--out", out + ".tif"}, 16},
      {{"export-netcdf", file, "--from", "6", "--to", "7", "--out", out + ".nc"}, 16},
      {{"areal", file, "--polygons", out + ".geojson", "--durations", "1", "--out", out + "-areal.csv"}, 16}};
  for (const auto& [arguments, bytesPerCell] : cases) {
    const test::ChildOutcome run = test::runToolKilledAt(arguments, 0);  // 0: never killed
    EXPECT_EQ(run.exitCode, 0) << arguments[0];
    EXPECT_LE(run.peakKilobytes, 64 * 1024 + bytesPerCell * kSide * kSide / 1024) << arguments[0];
  }
}

}  // namespace
}  // namespace ombrix
