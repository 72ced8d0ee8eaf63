#include "viewer/frame_loading.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/messages.h"
#include "support/test_support.h"
#include "viewer/rmd_test_file.h"

namespace ombrix::viewer {
namespace {

using test::TempDir;
using Grid = std::vector<std::int16_t>;

TEST(FrameLoading, LoadsEachFrameAndEmptyEntriesAsNoData) {
  TempDir dir;
  test::TestRmd file = test::makeTestRmd(2, 3, {{1, 2, 3, 4, 5, 6}, {}, {-1, 0, 7, 8, 9, 32767}});
  file.header.noDataValue = 9999;
  test::writeTestRmd(dir / "Ka.RMD", file);
  const core::AnalysisConditions conditions = test::openedConditions(dir / "Ka.RMD");
  Grid grid;
  ASSERT_TRUE(loadFrame(conditions, 0, grid).ok);
  EXPECT_EQ(grid, (Grid{1, 2, 3, 4, 5, 6}));
  ASSERT_TRUE(loadFrame(conditions, 1, grid).ok);
  EXPECT_EQ(grid, Grid(6, 9999));
  ASSERT_TRUE(loadFrame(conditions, 2, grid).ok);
  EXPECT_EQ(grid, (Grid{-1, 0, 7, 8, 9, 32767}));
}

TEST(FrameLoading, IndexOffsetInsideTheIndexIsAFrameWithoutData) {
  TempDir dir;
  test::writeTestRmd(dir / "Ka.RMD", test::makeTestRmd(1, 2, {{5, 6}, {7, 8}}));
  core::AnalysisConditions conditions = test::openedConditions(dir / "Ka.RMD");
  conditions.frameOffset[1] = 30;
  Grid grid;
  ASSERT_TRUE(loadFrame(conditions, 1, grid).ok);
  EXPECT_EQ(grid, Grid(2, -1));
}

TEST(FrameLoading, RefusalsLeaveTheGridUnchanged) {
  TempDir dir;
  const auto path = dir / "Ka.RMD";
  test::writeTestRmd(path, test::makeTestRmd(2, 2, {{1, 2, 3, 4}, {5, 6, 7, 8}}));
  core::AnalysisConditions conditions = test::openedConditions(path);
  const Grid before{42};
  Grid grid = before;
  const auto refusal = [&](const core::AnalysisConditions& c, int i) {
    grid = before;
    const core::Status status = loadFrame(c, i, grid);
    EXPECT_FALSE(status.ok);
    EXPECT_EQ(grid, before);
    return status.message;
  };
  EXPECT_EQ(refusal(conditions, -1), messages::kFrameNotInFile);
  EXPECT_EQ(refusal(conditions, 2), messages::kFrameNotInFile);
  core::AnalysisConditions closed = conditions;
  closed.openRmdPath.clear();
  EXPECT_EQ(refusal(closed, 0), messages::kNoFileOpen);

  std::vector<std::uint8_t> bytes = test::readBytes(path);
  bytes.resize(bytes.size() - 1);  // the last frame loses its last byte
  test::writeBytes(path, bytes);
  EXPECT_TRUE(loadFrame(conditions, 0, grid).ok);
  EXPECT_EQ(refusal(conditions, 1), std::string(messages::kRmdFileTruncated) + path.string());
  std::filesystem::remove(path);
  EXPECT_EQ(refusal(conditions, 0), std::string(messages::kRmdFileGone) + path.string());
}

TEST(FrameLoading, OneByOneGridReadsTwoBytes) {
  TempDir dir;
  test::writeTestRmd(dir / "Ka.RMD", test::makeTestRmd(1, 1, {{-7}}));
  const core::AnalysisConditions conditions = test::openedConditions(dir / "Ka.RMD");
  Grid grid(5, 1);
  ASSERT_TRUE(loadFrame(conditions, 0, grid).ok);
  EXPECT_EQ(grid, Grid{-7});
}

TEST(FrameStamps, PadEachElementByItsOwnValue) {
  core::AnalysisConditions c;
  c.frameCount = 3;
  c.frameYear = {2004, 2004, 2004};
  c.frameMonthDay = {{{1, 1}}, {{10, 5}}, {{7, 15}}};
  c.frameHourMinute = {{{0, 0}}, {{9, 30}}, {{23, 30}}};
  c.frameOffset = {0, 0, 0};
  EXPECT_EQ(frameStamp(c, 0), "200401010000");
  EXPECT_EQ(frameStamp(c, 1), "200410050930");
  EXPECT_EQ(frameStamp(c, 2).substr(4, 4), "0715");
  EXPECT_EQ(frameStamp(c, 3), "");
  std::string label;
  appendFrameLabel(label, c, 0);
  appendFrameLabel(label, c, 2);
  EXPECT_EQ(label, "200401010000200407152330");
}

TEST(FrameStamps, ShowFrameSetsGridAndLabelOrNothing) {
  TempDir dir;
  test::writeTestRmd(dir / "Ka.RMD", test::makeTestRmd(1, 2, {{1, 2}, {3, 4}}));
  core::AnalysisConditions conditions = test::openedConditions(dir / "Ka.RMD");
  Grid frameGrid;
  ASSERT_TRUE(showFrame(conditions, 1, frameGrid).ok);
  EXPECT_EQ(conditions.rainGrid, (Grid{3, 4}));
  EXPECT_EQ(conditions.frameLabel, "200407050030");
  EXPECT_FALSE(showFrame(conditions, 5, frameGrid).ok);
  EXPECT_EQ(conditions.rainGrid, (Grid{3, 4}));
  EXPECT_EQ(conditions.frameLabel, "200407050030");
}

}  // namespace
}  // namespace ombrix::viewer
