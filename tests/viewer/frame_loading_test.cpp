#include "viewer/frame_loading.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/messages.h"
#include "support/sample_rmd.h"
#include "viewer/frame_reference.h"

namespace ombrix::viewer {
namespace {

using Grid = std::vector<std::int16_t>;

TEST(FrameLoading, LoadsFramesAndGivesNoDataForEmptyIndexEntries) {
  test::TempDir dir;
  core::RmdHeader header = test::sampleGrid(4, 2, 3);
  header.noDataValue = 9999;
  test::writeFrames(dir / "Ka.RMD", 2, 3, {{1, 2, 3, 4, 5, 6}, {}, {-1, 0, 7, 8, 9, 32767}, {5, 5, 5, 5, 5, 5}}, header);
  core::AnalysisConditions conditions = test::openedConditions(dir / "Ka.RMD");
  conditions.frameOffset[3] = 30;  // points into the index, not at frame data
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

TEST(FrameReference, NumbersAndStoredTimes) {
  EXPECT_EQ(parseFrameReference("12"), (FrameReference{12, {}}));
  EXPECT_EQ(parseFrameReference("2005-07-02T24:00"), (FrameReference{std::nullopt, {2005, 7, 2, 24, 0}}));
  for (const char* wrong : {"", "x", "1.5", "2005-7-02T12:30", "2005-07-02 12:30", "2005-13-02T12:30",
                            "2005-07-32T12:30", "2005-07-02T12:60", "2005-07-02T12:30Z", "2005-07-02T-1:30"}) {
    EXPECT_FALSE(parseFrameReference(wrong)) << wrong;
  }
}

TEST(FrameReference, ResolvedAgainstTheOpenFile) {
  core::AnalysisConditions c;
  c.openRmdPath = "Ka.RMD";
  c.frameCount = 3;
  c.frameOffset = {100, 200, 300};
  c.frameYear = {2005, 2005, 2005};
  c.frameMonthDay = {{{7, 1}}, {{7, 1}}, {{7, 1}}};
  c.frameHourMinute = {{{23, 30}}, {{24, 0}}, {{24, 0}}};  // a repeated stamp names its first frame
  int frame = -1;
  ASSERT_TRUE(resolveFrame(c, *parseFrameReference("2"), frame).ok);
  EXPECT_EQ(frame, 2);
  ASSERT_TRUE(resolveFrame(c, *parseFrameReference("2005-07-01T24:00"), frame).ok);
  EXPECT_EQ(frame, 1);

  const core::Status outside = resolveFrame(c, *parseFrameReference("3"), frame);
  EXPECT_EQ(outside.message, std::string(messages::kFrameNumberNotInFile) + "3");
  const core::Status missing = resolveFrame(c, *parseFrameReference("2005-07-02T00:00"), frame);
  EXPECT_EQ(missing.message, std::string(messages::kNoFrameAtTime) + "2005-07-02T00:00" +
                                 std::string(messages::kFileTimesOpen) + "2005-07-01T23:30～2005-07-01T24:00" +
                                 std::string(messages::kFileTimesClose));
  EXPECT_EQ(frame, 1);
  c.openRmdPath.clear();
  EXPECT_EQ(resolveFrame(c, *parseFrameReference("0"), frame).message, messages::kNoFileOpen);
}

}  // namespace
}  // namespace ombrix::viewer
