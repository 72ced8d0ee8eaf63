// The open file and its frames: opening, loading, frame references, and sums and maxima.
#include "viewer/frame_loading.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <random>
#include <string>

#include "core/messages.h"
#include "support/sample_rmd.h"
#include "viewer/frame_accumulation.h"
#include "viewer/frame_reference.h"
#include "viewer/rmd_opening.h"

namespace ombrix::viewer {
namespace {

using Grid = std::vector<std::int16_t>;

TEST(FrameLoading, LoadsFramesGivesNoDataForEmptyIndexEntriesAndRefusalsLeaveTheGrid) {
  test::TempDir dir;
  core::RmdHeader header = test::sampleGrid(4, 2, 3);
  header.noDataValue = 9999;
  test::writeFrames(dir / "Ka.RMD", 2, 3, {{1, 2, 3, 4, 5, 6}, {}, {-1, 0, 7, 8, 9, 32767}, {5, 5, 5, 5, 5, 5}}, header);
  core::RmdContents contents = test::openedConditions(dir / "Ka.RMD").openFileDataset().contents();
  contents.index[3].frameOffset = 30;  // points into the index, not at frame data
  core::RmdDataset file(dir / "Ka.RMD", contents);
  Grid grid;
  ASSERT_TRUE(loadFrame(file, 2, grid));
  EXPECT_EQ(grid, (Grid{-1, 0, 7, 8, 9, 32767}));
  ASSERT_TRUE(loadFrame(file, 0, grid));
  EXPECT_EQ(grid, (Grid{1, 2, 3, 4, 5, 6}));
  for (const int empty : {1, 3}) {
    ASSERT_TRUE(loadFrame(file, empty, grid));
    EXPECT_EQ(grid, Grid(6, 9999));
  }

  const auto refusal = [&](core::RmdDataset& f, int i) {
    grid = {42};
    const core::Status status = loadFrame(f, i, grid);
    EXPECT_EQ(grid, Grid{42});
    return status ? "loaded" : message(status);
  };
  EXPECT_EQ(refusal(file, -1), messages::kFrameNotInFile);
  EXPECT_EQ(refusal(file, 4), messages::kFrameNotInFile);
  core::RmdDataset closed("", contents);
  EXPECT_EQ(refusal(closed, 0), messages::kNoFileOpen);
}

TEST(FrameReference, NumbersAndStoredTimes) {
  EXPECT_EQ(parseFrameReference("12"), (FrameReference{12, {}}));
  EXPECT_EQ(parseFrameReference("2005-07-02T24:00"), (FrameReference{std::nullopt, {2005, 7, 2, 24, 0}}));
  EXPECT_EQ(parseFrameReference("2005-07-02 12:30"), (FrameReference{std::nullopt, {2005, 7, 2, 12, 30}}));
  for (const char* wrong : {"", "x", "1.5", "2005-7-02T12:30", "2005-07-02_12:30", "2005-13-02T12:30",
                            "2005-07-32T12:30", "2005-07-02T12:60", "2005-07-02T12:30Z", "2005-07-02T-1:30", "2005-02-30T00:00",
                            "2005-02-29T00:00", "2005-07-02T24:30"}) {
    EXPECT_FALSE(parseFrameReference(wrong)) << wrong;
  }
}

TEST(FrameReference, ResolvedAgainstTheOpenFile) {
  core::RmdHeader header;
  header.frameCount = 3;
  // A repeated stamp names its first frame.
  core::RmdDataset c("Ka.RMD", {header, {{{2005, 7, 1, 23, 30}, 100}, {{2005, 7, 1, 24, 0}, 200}, {{2005, 7, 1, 24, 0}, 300}}});
  int frame = -1;
  ASSERT_TRUE(resolveFrame(c, *parseFrameReference("2"), frame));
  EXPECT_EQ(frame, 2);
  ASSERT_TRUE(resolveFrame(c, *parseFrameReference("2005-07-01T24:00"), frame));
  EXPECT_EQ(frame, 1);

  const core::Status outside = resolveFrame(c, *parseFrameReference("3"), frame);
  EXPECT_EQ(message(outside), std::string(messages::kFrameNumberNotInFile) + "3");
  const core::Status missing = resolveFrame(c, *parseFrameReference("2005-07-02T00:00"), frame);
  EXPECT_EQ(message(missing), std::string(messages::kNoFrameAtTime) + "2005-07-02T00:00" +
                                 std::string(messages::kFileTimesOpen) + "2005-07-01T23:30～2005-07-01T24:00" +
                                 std::string(messages::kFileTimesClose));
  EXPECT_EQ(frame, 1);
  c = core::RmdDataset("", c.contents());
  EXPECT_EQ(message(resolveFrame(c, *parseFrameReference("0"), frame)), messages::kNoFileOpen);
}

using test::TempDir;

TEST(RmdOpening, ReadsHeaderIndexTextsAndGeometry) {
  TempDir dir;
  core::RmdHeader header = test::sampleGrid(48, 2, 3);
  header.fileNorthLat = 35123457;
  std::vector<core::TimeStamp> stamps = test::dayStamps(2003, 6, 5, 1, 48);
  stamps.front().hour = 9;
  const auto path = dir / "Ka20036052003605.RMD";
  test::writeFrames(path, 2, 3, test::Frames(48, {1, 2, 3, 4, 5, 6}), header, stamps);

  const RmdOpening opening = openRmdFile(path, 689, 593);
  ASSERT_TRUE(opening.status) << message(opening.status);
  const OpenedRmd& opened = opening.file;
  EXPECT_EQ(opened.timeTexts.front(), "2003/6/5 09: 00");
  EXPECT_EQ(opened.northLatText + " " + opened.westLonText + " " + opened.eastLonText, "35.12346 139 139.025");

  core::AnalysisConditions conditions;
  conditions.area.westLon = 139000000;
  conditions.takeOpenedFile(opening.file.dataset(), opening.file.geometry, opening.file.areaName);
  EXPECT_EQ(conditions.area.westLon, 139000000);  // the area's bounds stay
  EXPECT_EQ(std::tuple(conditions.file.frameCount(), conditions.file.index().back().stamp.hour,
                       conditions.file.index().back().stamp.minute, conditions.rainGrid.size()),
            std::tuple(48, 23, 30, 6u));
  EXPECT_EQ(std::pair(conditions.geometry.mapWidth, conditions.geometry.mapCenterLon),
            std::pair(37500.0f, 139018750.0f));
}

TEST(RmdOpening, RegionNameComesFromTheFirstTwoCharacters) {
  TempDir dir;
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"Kyanything.RMD", "九州"}, {"AJ.RMD", "全国"}, {"My1.RMD", "任意のエリア"}, {"ho2003.RMD", "北海道"}, {"K", "北海道"}};
  for (const auto& [name, region] : cases) {
    test::writeFrames(dir / name, 1, 1, {{0}});
    core::AnalysisConditions conditions;
    conditions.areaName = "北海道";
    const OpenedRmd opened = openRmdFile(dir / name, 100, 100).file;
    conditions.takeOpenedFile(opened.dataset(), opened.geometry, opened.areaName);
    EXPECT_EQ(conditions.areaName, region) << name;
  }
}

TEST(RmdOpening, ScaleFactorAndZoom) {
  TempDir dir;
  core::RmdHeader header = test::sampleGrid(1, 1, 2);
  header.cellLonStep = 15625;
  test::writeFrames(dir / "AJ1.RMD", 1, 2, {{0, 0}}, header, {{2001, 3, 31, 23, 0}});
  test::writeFrames(dir / "AJ2.RMD", 1, 2, {{0, 0}}, header, {{2001, 4, 1, 0, 0}});
  EXPECT_EQ(openRmdFile(dir / "AJ1.RMD", 10, 10).file.grid.cellWidth, 31250);
  EXPECT_EQ(openRmdFile(dir / "AJ2.RMD", 10, 10).file.grid.cellWidth, 15625);

  core::RmdHeader square;  // on a surface twice as wide as high
  square.gridRows = square.gridCols = 10;
  square.cellLonStep = square.cellLatStep = 1000;
  square.fileWestLon = 5000;
  square.fileNorthLat = 90000;
  const ViewGeometry g = computeViewGeometry(square, 1, 400, 200);
  EXPECT_EQ(g.zoom, static_cast<float>(0.95 * 200 / 10000));
  EXPECT_EQ(g.viewCenterX, 200.0f);
  EXPECT_EQ(g.mapCenterLon, 10000.0f);
  EXPECT_EQ(g.mapCenterLat, 85000.0f);
}

TEST(RmdOpening, UnusableFilesAreRefusedAndChangeNothing) {
  TempDir dir;
  const std::vector<std::function<void(core::RmdHeader&)>> faults = {
      [](core::RmdHeader& h) { h.frameCount = 0; },    [](core::RmdHeader& h) { h.frameCount = -3; },
      [](core::RmdHeader& h) { h.frameCount = 2; },    // the index ends after one entry
      [](core::RmdHeader& h) { h.gridRows = 0; },      [](core::RmdHeader& h) { h.gridCols = -1; },
      [](core::RmdHeader& h) { h.cellLatStep = 0; },   nullptr};  // nullptr: a 27-byte header
  for (std::size_t k = 0; k < faults.size(); ++k) {
    core::RmdHeader h = test::sampleGrid(1, 1, 1);
    std::vector<std::uint8_t> bytes(38, 0);
    if (faults[k]) faults[k](h);
    core::encodeRmdHeader(h, bytes.data());
    bytes.resize(faults[k] ? 38 : 27);
    const auto path = dir / ("Ka" + std::to_string(k) + ".RMD");
    test::writeBytes(path, bytes);
    const RmdOpening opening = openRmdFile(path, 689, 593);
    EXPECT_EQ(opening.status.problem, core::Problem::NotRmdFile) << k;
    EXPECT_EQ(message(opening.status), std::string(messages::kNotRmdFile) + path.string()) << k;
  }
}

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
  core::RmdDataset file = test::openedConditions(dir / "Ka.RMD").openFileDataset();
  // The first frame's value starts the sum as it is; later frames add only what they measured.
  for (const auto& [first, last] : {std::pair{0, 5}, {2, 5}, {1, 3}}) {
    Grid sum, maximum;
    ASSERT_TRUE(accumulateFrames(file, first, last, sum));
    ASSERT_TRUE(maximumOfFrames(file, first, last, maximum));
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

TEST(FrameAccumulation, CallbacksInOrderAnotherFileDoesNotMixInAndRefusedRangesLeaveTheResult) {
  TempDir dir;
  const auto path = dir / "Ka.RMD";
  test::writeFrames(path, 1, 5, kFrames);
  test::writeFrames(dir / "Ho.RMD", 2, 2, {{1, 1, 1, 1}, {1, 1, 1, 1}});
  core::AnalysisConditions conditions = test::openedConditions(path);
  core::RmdDataset file = conditions.openFileDataset();  // the fold's own, as the viewer takes it
  std::string calls;
  FoldCallbacks callbacks;
  callbacks.steps.yield = [&] {
    calls += 'y';
    conditions = test::openedConditions(dir / "Ho.RMD");  // the user opens another file
  };
  callbacks.steps.progress = [&](std::int64_t position, std::int64_t) { calls += std::to_string(position); };
  callbacks.frameFolded = [&](int frame, std::span<const std::int16_t> partial) {
    calls += 'f';
    calls += std::to_string(frame) + ':' + std::to_string(partial[0]) + ' ';
  };
  Grid result;
  ASSERT_TRUE(accumulateFrames(file, 0, 2, result, callbacks));
  EXPECT_EQ(result, (Grid{30, 14, -1, 0, 32767}));
  EXPECT_EQ(calls, "y0f0:10 y1f1:30 y2f2:30 ");

  result = {99};
  const auto refusal = [&](int s, int e) {
    const core::Status status = accumulateFrames(file, s, e, result);
    EXPECT_EQ(message(maximumOfFrames(file, s, e, result)), message(status));
    EXPECT_EQ(result, Grid{99});
    return message(status);
  };
  EXPECT_EQ(refusal(1, 1), messages::kChooseDifferentTimes);
  EXPECT_EQ(refusal(2, 1), messages::kTimesNotInOrder);
  EXPECT_EQ(refusal(-1, 1), messages::kFrameNotInFile);
  EXPECT_EQ(refusal(0, 3), messages::kFrameNotInFile);
  std::filesystem::resize_file(path, std::filesystem::file_size(path) - 1);  // the last frame is cut short
  EXPECT_EQ(refusal(0, 2), std::string(messages::kRmdFileTruncated) + path.string());
  file = core::RmdDataset("", file.contents());
  EXPECT_EQ(refusal(0, 2), messages::kNoFileOpen);
}

}  // namespace
}  // namespace ombrix::viewer
