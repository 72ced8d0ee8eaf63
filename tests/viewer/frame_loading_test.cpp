#include "viewer/frame_loading.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/messages.h"
#include "support/test_support.h"
#include "viewer/rmd_test_file.h"

namespace ombrix::viewer {
namespace {

using Grid = std::vector<std::int16_t>;

TEST(FrameLoading, LoadsFramesAndGivesNoDataForEmptyIndexEntries) {
  test::TempDir dir;
  core::RmdHeader header = test::sampleGrid(4, 2, 3);
  header.noDataValue = 9999;
  test::writeFrames(dir / "Ka.RMD", 2, 3, {{1, 2, 3, 4, 5, 6}, {}, {-1, 0, 7, 8, 9, 32767}, {5, 5, 5, 5, 5, 5}}, header);
  core::AnalysisConditions conditions = test::openedConditions(dir / "Ka.RMD");
  conditions.index[3].frameOffset = 30;  // points into the index, not at frame data
  Grid grid;
  ASSERT_TRUE(loadFrame(conditions, 2, grid).ok);
  EXPECT_EQ(grid, (Grid{-1, 0, 7, 8, 9, 32767}));
  ASSERT_TRUE(loadFrame(conditions, 0, grid).ok);
  EXPECT_EQ(grid, (Grid{1, 2, 3, 4, 5, 6}));
  for (const int empty : {1, 3}) {
    ASSERT_TRUE(loadFrame(conditions, empty, grid).ok);
    EXPECT_EQ(grid, Grid(6, 9999));
  }
}

TEST(FrameLoading, RefusalsLeaveTheGridUnchanged) {
  test::TempDir dir;
  const auto path = dir / "Ka.RMD";
  test::writeFrames(path, 2, 2, {{1, 2, 3, 4}, {5, 6, 7, 8}});
  core::AnalysisConditions conditions = test::openedConditions(path);
  Grid grid;
  const auto refusal = [&](const core::AnalysisConditions& c, int i) {
    grid = {42};
    const core::Status status = loadFrame(c, i, grid);
    EXPECT_EQ(grid, Grid{42});
    return status.ok ? "loaded" : status.message;
  };
  EXPECT_EQ(refusal(conditions, -1), messages::kFrameNotInFile);
  EXPECT_EQ(refusal(conditions, 2), messages::kFrameNotInFile);
  core::AnalysisConditions closed = conditions;
  closed.openRmdPath.clear();
  EXPECT_EQ(refusal(closed, 0), messages::kNoFileOpen);
  std::vector<std::uint8_t> bytes = test::readBytes(path);
  bytes.pop_back();  // the last frame loses its last byte
  test::writeBytes(path, bytes);
  EXPECT_EQ(refusal(conditions, 1), std::string(messages::kRmdFileTruncated) + path.string());
  std::filesystem::remove(path);
  EXPECT_EQ(refusal(conditions, 0), std::string(messages::kRmdFileGone) + path.string());
}

TEST(FrameLoading, ShowFrameSetsGridAndStampOrNothing) {
  test::TempDir dir;
  test::writeFrames(dir / "Ka.RMD", 1, 2, {{1, 2}, {3, 4}});
  core::AnalysisConditions conditions = test::openedConditions(dir / "Ka.RMD");
  Grid frameGrid;
  ASSERT_TRUE(showFrame(conditions, 1, frameGrid).ok);
  EXPECT_EQ(conditions.rainGrid, (Grid{3, 4}));
  EXPECT_EQ(conditions.frameLabel, "200407050030");
  EXPECT_FALSE(showFrame(conditions, 5, frameGrid).ok);
  EXPECT_EQ(conditions.rainGrid, (Grid{3, 4}));
  EXPECT_EQ(conditions.frameLabel, "200407050030");
}

TEST(FrameStamps, PadEachElementByItsOwnValue) {
  core::AnalysisConditions c;
  c.header.frameCount = 3;
  c.openRmdPath = "Ka.RMD";
  c.index = {{{2004, 1, 1, 0, 0}, 0}, {{2004, 10, 5, 9, 30}, 0}, {{2004, 7, 15, 23, 30}, 0}};
  EXPECT_EQ(frameStamp(c, 0), "200401010000");
  EXPECT_EQ(frameStamp(c, 1), "200410050930");
  EXPECT_EQ(frameStamp(c, 3), "");
  std::string label;
  appendFrameLabel(label, c, 0);
  appendFrameLabel(label, c, 2);
  EXPECT_EQ(label, "200401010000200407152330");
}

}  // namespace
}  // namespace ombrix::viewer
