// The duration map worked through in bands of rows gives the map of the whole grid at once,
// with a progress that only moves forward, to its end.
#include "gis/duration_map.h"

#include <gtest/gtest.h>

#include "support/sample_rmd.h"

namespace ombrix::gis {
namespace {

TEST(DurationMap, BandsOfRowsGiveTheWholeGridsMap) {
  test::TempDir dir;
  test::Frames frames(40);
  for (std::size_t k = 0; k < frames.size(); ++k) {
    for (std::size_t c = 0; c < 35; ++c) frames[k].push_back(static_cast<std::int16_t>(static_cast<int>((c * 37 + k * k * 11) % 83) - 4));
  }
  frames[13].clear();  // a frame without data
  test::writeFrames(dir / "Ka200475200475.RMD", 7, 5, frames);
  core::RmdDataset file = test::openedConditions(dir / "Ka200475200475.RMD").openFileDataset();
  for (int hours : {1, 3, 12}) {
    DurationMap whole;
    ASSERT_TRUE(durationMaximumMap(file, 2, 39, hours, whole));
    for (const auto& [bandCells, bands] : {std::pair<std::size_t, int>{3, 7}, {5, 7}, {12, 4}}) {
      int done = 0;
      bool forward = true;
      core::OperationCallbacks callbacks;
      callbacks.progress = [&](int step, int steps) { forward = forward && step == ++done && steps == bands * 38; };
      DurationMap banded;
      ASSERT_TRUE(durationMaximumMap(file, 2, 39, hours, banded, callbacks, bandCells));
      EXPECT_EQ(banded.grid, whole.grid) << hours << " h, bands of " << bandCells;
      EXPECT_TRUE(forward && done == bands * 38) << done;
    }
  }
}

}  // namespace
}  // namespace ombrix::gis
