// Input limits: a header field claiming a huge size is refused, or read only as far as the file
// goes, without allocating what it claims. Each case runs in a forked child whose peak memory
// is compared with that of a child doing nothing.
#include <gtest/gtest.h>

#include "core/byte_io.h"
#include "import/grib2_field.h"
#include "import/grib2_message_builder.h"
#include "core/messages.h"
#include "core/preprocess_run.h"
#include "core/rap_encoder.h"
#include "support/fault_injection.h"
#include "support/sample_rmd.h"
#include "viewer/base_map.h"
#include "viewer/frame_loading.h"
#include "viewer/rmd_opening.h"

namespace ombrix {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

constexpr long kAllowanceKilobytes = 256 * 1024;
constexpr std::int16_t kMostCells = 32767;

// Runs check in a child; expects it to return 0 and to stay within the allowance.
void expectSmall(const std::function<int()>& check) {
  static const long baseline = test::runInChild([] { return 0; }).peakKilobytes;
  const test::ChildOutcome outcome = test::runInChild(check);
  EXPECT_EQ(outcome.exitCode, 0) << "signal " << outcome.signal;
  EXPECT_LT(outcome.peakKilobytes - baseline, kAllowanceKilobytes);
}

// A one-day file of one cell whose header is then made to claim 32,767 x 32,767 cells.
fs::path hugeGridRmd(const fs::path& dir) {
  const fs::path path = dir / "Ka2005712005701.RMD";
  test::writeSampleRmd(path, test::sampleGrid(24, 1, 1), 24, test::dayStamps(2005, 7, 1, 1, 24),
                       [](int, int) { return std::int16_t{5}; });
  core::Bytes bytes = test::readBytes(path);
  core::writeI16LE(bytes.data() + 18, kMostCells);
  core::writeI16LE(bytes.data() + 20, kMostCells);
  test::writeBytes(path, bytes);
  return path;
}

TEST(InputLimits, RmdHeaderClaimingTheLargestGrid) {
  TempDir dir;
  const fs::path path = hugeGridRmd(dir.path());
  expectSmall([&] {
    const viewer::RmdOpening opening = viewer::openRmdFile(path, 800, 600);
    const bool refused = opening.status.problem == core::Problem::NotRmdFile &&
                         message(opening.status) == std::string(messages::kNotRmdFile) + path.string();
    return refused ? 0 : 1;
  });
  // Frame loading checks the file's size itself, whatever the conditions claim.
  expectSmall([&] {
    core::RmdHeader header;
    header.frameCount = 1;
    header.gridRows = header.gridCols = kMostCells;
    core::RmdDataset file(path, {header, {{{2005, 7, 1, 0, 0}, static_cast<std::int32_t>(core::rmdDataStart(24, 24))}}});
    std::vector<std::int16_t> grid{1, 2};
    const core::Status loaded = viewer::loadFrame(file, 0, grid);
    return !loaded && message(loaded) == std::string(messages::kRmdFileTruncated) + path.string() &&
                   grid == std::vector<std::int16_t>{1, 2}
               ? 0
               : 1;
  });
}

TEST(InputLimits, BaseMapClaimingTwoToThe31Polylines) {
  TempDir dir;
  core::Bytes bytes;
  core::appendI32LE(bytes, 0x7FFFFFFF);
  for (int k = 0; k < 5; ++k) core::appendI32LE(bytes, 0);
  core::appendI32LE(bytes, 0x7FFFFFFF);  // points claimed by the one record present
  core::appendI32LE(bytes, 32);
  for (std::int32_t v : {139'000'000, 36'000'000, 140'000'000, 37'000'000}) core::appendI32LE(bytes, v);
  test::writeBytes(dir / "jp.map", bytes);
  expectSmall([&] {
    const auto map = viewer::readBaseMap(dir / "jp.map");
    if (!map || map->polylineCount() != 1 || map->pointCount(0) != 2) return 1;
    viewer::RgbImage image(64, 48);
    viewer::drawBaseMap(dir / "jp.map", viewer::ViewGeometry{}, image.view());
    return 0;
  });
}

// Counts beyond the file are refused in core/rap_archive_test. A file of no records claiming
// the largest grid: the preprocessing run writes its index without sizing a grid buffer from
// the claim.
TEST(InputLimits, ArchiveHeaderClaimingTheLargestGrid) {
  TempDir dir;
  core::Bytes huge;
  ASSERT_TRUE(core::encodeArchive({46'000'000, 128'000'000, 31'250, 20'833, kMostCells, kMostCells}, {}, huge));
  test::writeBytes(dir / "day.RAP", huge);
  const core::ArchiveSelection c{{139'000'000, 36'000'000, 140'000'000, 35'000'000}, {},
                                 {{{2005, 2005}, {7, 7}, {1, 1}}, {(dir / "day.RAP").string()}}, {}};
  expectSmall([&] { return core::runPreprocessing(c, dir / "out.RMD").status ? 0 : 1; });
}

TEST(InputLimits, Grib2ClaimingHugeGrids) {
  test::Grib2MessageSpec spec;
  spec.ni = 65536;
  spec.nj = 65536;
  import::Grib2Field field;
  EXPECT_EQ(import::decodeGrib2Field(test::buildGrib2Message(spec), field), core::Problem::Grib2UnsupportedGrid);
  // The largest grid accepted, with a stream of two bytes: refused as corrupt, its level
  // buffer far below a gigabyte.
  spec.ni = 8192;
  spec.nj = 8192;
  spec.dlon = spec.dlat = 1000;
  spec.stream = {1, 200};
  const auto message = test::buildGrib2Message(spec);
  expectSmall([&] {
    import::Grib2Field big;
    return import::decodeGrib2Field(message, big) == core::Problem::Grib2RunsTooFewCells ? 0 : 1;
  });
}

}  // namespace
}  // namespace ombrix
