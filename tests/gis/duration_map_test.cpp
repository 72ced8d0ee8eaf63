// The duration map worked through in bands of rows gives the map of the whole grid at once, and
// its progress only moves forward to the end.
#include "gis/duration_map.h"

#include <gtest/gtest.h>

#include <random>

#include "support/sample_rmd.h"

namespace ombrix::gis {
namespace {

TEST(DurationMap, BandsOfRowsGiveTheWholeGridsMap) {
  test::TempDir dir;
  std::mt19937 random(11);
  test::Frames frames(40, std::vector<std::int16_t>(35));
  for (auto& frame : frames) {
    for (auto& value : frame) value = static_cast<std::int16_t>(static_cast<int>(random() % 80) - 4);
  }
  frames[13].clear();  // a frame without data
  test::writeFrames(dir / "Ka200475200475.RMD", 7, 5, frames);
  const core::AnalysisConditions c = test::openedConditions(dir / "Ka200475200475.RMD");
  for (int hours : {1, 3, 12}) {
    DurationMap whole;
    ASSERT_TRUE(durationMaximumMap(c, 2, 39, hours, whole));
    EXPECT_EQ(whole.label, "200407050100200407051930-MAX" + std::to_string(hours) + "H");
    for (std::size_t bandCells : {3, 5, 12}) {  // less than a row, one row, two rows and a short last band
      std::vector<std::pair<int, int>> progress;
      core::PreprocessCallbacks callbacks;
      callbacks.progress = [&](int done, int count) { progress.emplace_back(done, count); };
      DurationMap banded;
      ASSERT_TRUE(durationMaximumMap(c, 2, 39, hours, banded, callbacks, bandCells));
      EXPECT_EQ(banded.grid, whole.grid) << hours << " h, bands of " << bandCells;
      const int bands = bandCells < 10 ? 7 : 4;
      ASSERT_EQ(progress.size(), static_cast<std::size_t>(bands * 38));
      for (std::size_t i = 0; i < progress.size(); ++i) {
        EXPECT_EQ(progress[i], std::pair(static_cast<int>(i) + 1, bands * 38));
      }
    }
  }
}

}  // namespace
}  // namespace ombrix::gis
