#include "viewer/frame_reference.h"

#include <gtest/gtest.h>

#include "core/messages.h"

namespace ombrix::viewer {
namespace {

TEST(FrameReference, NumbersAndStoredTimes) {
  EXPECT_EQ(parseFrameReference("12"), (FrameReference{12, {}}));
  EXPECT_EQ(parseFrameReference("2005-07-02T24:00"), (FrameReference{std::nullopt, {2005, 7, 2, 24, 0}}));
  EXPECT_EQ(parseFrameReference("2005-07-02 12:30"), (FrameReference{std::nullopt, {2005, 7, 2, 12, 30}}));
  for (const char* wrong : {"", "x", "1.5", "2005-7-02T12:30", "2005-07-02_12:30", "2005-13-02T12:30",
                            "2005-07-32T12:30", "2005-07-02T12:60", "2005-07-02T12:30Z", "2005-07-02T-1:30"}) {
    EXPECT_FALSE(parseFrameReference(wrong)) << wrong;
  }
}

TEST(FrameReference, RangesSplitAtTheColonBetweenTheEnds) {
  using Ends = std::pair<std::string_view, std::string_view>;
  EXPECT_EQ(splitFrameRange("0:47"), (Ends{"0", "47"}));
  EXPECT_EQ(splitFrameRange("2005-07-01T00:00:2005-07-01T01:30"), (Ends{"2005-07-01T00:00", "2005-07-01T01:30"}));
  EXPECT_EQ(splitFrameRange("3:2005-07-01T01:30"), (Ends{"3", "2005-07-01T01:30"}));
  for (const char* wrong : {"3", "3:", ":3", "2005-07-01T00:00", "1:2:3"}) {
    EXPECT_FALSE(splitFrameRange(wrong)) << wrong;
  }
}

TEST(FrameReference, ResolvedAgainstTheOpenFile) {
  core::AnalysisConditions c;
  c.openRmdPath = "Ka.RMD";
  c.header.frameCount = 3;
  // A repeated stamp names its first frame.
  c.index = {{{2005, 7, 1, 23, 30}, 100}, {{2005, 7, 1, 24, 0}, 200}, {{2005, 7, 1, 24, 0}, 300}};
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
