#include "viewer/frame_accumulation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>

#include "core/messages.h"
#include "support/sample_rmd.h"

namespace ombrix::viewer {
namespace {

using test::TempDir;
using Grid = std::vector<std::int16_t>;

// Each column is one case, frames top to bottom: 10/20/0, -1/15/0, -1/0/-1, 0/-1/-1, big sums.
const std::vector<Grid> kFrames = {
    {10, -1, -1, 0, 30000},
    {20, 15, 0, -1, 30000},
    {0, 0, -1, -1, 5},
};

TEST(FrameAccumulation, WideGridsAndFramesWithoutData) {
  std::mt19937 random(9);
  std::uniform_int_distribution<int> value(-3, 32767);
  std::bernoulli_distribution small(0.6);
  std::vector<Grid> frames(6, Grid(3 * 7));
  for (Grid& frame : frames) {
    for (std::int16_t& cell : frame) cell = static_cast<std::int16_t>(small(random) ? value(random) % 6 - 3 : value(random));
  }
  frames[3].clear();  // no record: reads as -1 everywhere
  TempDir dir;
  test::writeFrames(dir / "Ka.RMD", 3, 7, frames);
  frames[3].assign(3 * 7, -1);
  const core::AnalysisConditions conditions = test::openedConditions(dir / "Ka.RMD");
  // The first frame's value starts the sum as it is; later frames add only what they measured.
  for (const auto& [first, last] : {std::pair{0, 5}, {2, 5}, {1, 3}}) {
    Grid sum, maximum;
    ASSERT_TRUE(accumulateFrames(conditions, first, last, sum).ok);
    ASSERT_TRUE(maximumOfFrames(conditions, first, last, maximum).ok);
    for (std::size_t i = 0; i < sum.size(); ++i) {
      int expectedSum = frames[first][i];
      int expectedMax = std::max<int>(frames[first][i], 0);
      for (int k = first + 1; k <= last; ++k) {
        expectedSum += std::max<int>(frames[k][i], 0);
        expectedMax = std::max<int>(expectedMax, frames[k][i]);
      }
      EXPECT_EQ(sum[i], std::min(expectedSum, 32767)) << first << ":" << i;
      EXPECT_EQ(maximum[i], expectedMax) << first << ":" << i;
    }
  }
}

TEST(FrameAccumulation, RefusedRangesLeaveTheResult) {
  TempDir dir;
  const auto path = dir / "Ka.RMD";
  test::writeFrames(path, 1, 5, kFrames);
  core::AnalysisConditions conditions = test::openedConditions(path);
  Grid result{99};
  const auto refusal = [&](int s, int e) {
    const core::Status status = accumulateFrames(conditions, s, e, result);
    EXPECT_EQ(maximumOfFrames(conditions, s, e, result).message, status.message);
    EXPECT_EQ(result, Grid{99});
    return status.message;
  };
  EXPECT_EQ(refusal(1, 1), messages::kChooseDifferentTimes);
  EXPECT_EQ(refusal(2, 1), messages::kTimesNotInOrder);
  EXPECT_EQ(refusal(-1, 1), messages::kFrameNotInFile);
  EXPECT_EQ(refusal(0, 3), messages::kFrameNotInFile);
  std::filesystem::remove(path);
  EXPECT_EQ(refusal(0, 2), std::string(messages::kRmdFileGone) + path.string());
  conditions.openRmdPath.clear();
  EXPECT_EQ(refusal(0, 2), messages::kNoFileOpen);
}

TEST(FrameAccumulation, CallbacksInOrderAndAFileOpenedMeanwhileDoesNotMixIn) {
  TempDir dir;
  test::writeFrames(dir / "Ka.RMD", 1, 5, kFrames);
  test::writeFrames(dir / "Ho.RMD", 2, 2, {{1, 1, 1, 1}, {1, 1, 1, 1}});
  core::AnalysisConditions conditions = test::openedConditions(dir / "Ka.RMD");
  std::string calls;
  FoldCallbacks callbacks;
  callbacks.yield = [&] {
    calls += 'y';
    conditions = test::openedConditions(dir / "Ho.RMD");  // the user opens another file
  };
  callbacks.frameStarting = [&](int position) { calls += std::to_string(position); };
  callbacks.frameFolded = [&](int frame, std::span<const std::int16_t> partial) {
    calls += 'f';
    calls += std::to_string(frame) + ':' + std::to_string(partial[0]) + ' ';
  };
  Grid sum;
  ASSERT_TRUE(accumulateFrames(conditions, 0, 2, sum, callbacks).ok);
  EXPECT_EQ(sum, (Grid{30, 14, -1, 0, 32767}));
  EXPECT_EQ(calls, "y0f0:10 y1f1:30 y2f2:30 ");
}

}  // namespace
}  // namespace ombrix::viewer
