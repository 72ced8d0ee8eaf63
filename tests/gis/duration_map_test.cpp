// The duration map worked through in bands of rows gives the map of the whole grid at once,
// with a progress that only moves forward, to its end; by year or month, the map of each
// period.
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

// Two half-hourly days across New Year, by year and by month and in bands of rows: the periods'
// maps, labelled with their frames. A window of one hour lies in one day, so each is the map of
// its day alone; longer windows crossing into 2005 count there (see CellDurationMaxima).
TEST(DurationMap, ByYearOrMonthEachPeriodsMapIsItsFramesMap) {
  test::TempDir dir;
  std::vector<core::TimeStamp> stamps = test::dayStamps(2004, 12, 31, 1, 48);
  std::ranges::copy(test::dayStamps(2005, 1, 1, 1, 48), std::back_inserter(stamps));
  test::writeSampleRmd(dir / "Ka200412312005011.RMD", test::sampleGrid(96, 7, 5), 48, stamps,
                       [](int k, int c) { return static_cast<std::int16_t>((c * 13 + k * 7) % 41); });
  core::RmdDataset file = test::openedConditions(dir / "Ka200412312005011.RMD").openFileDataset();
  DurationMap years[2];
  ASSERT_TRUE(durationMaximumMap(file, 0, 47, 1, years[0]));
  ASSERT_TRUE(durationMaximumMap(file, 48, 95, 1, years[1]));
  for (const auto& [by, names] : {std::pair{MaximaPeriods::Year, std::pair{"2004", "2005"}},
                                  {MaximaPeriods::Month, std::pair{"2004-12", "2005-01"}}}) {
    std::vector<DurationMap> maps;
    ASSERT_TRUE(durationMaximumMaps(file, 0, 95, 1, by, maps, {}, 10));
    ASSERT_EQ(maps.size(), 2u);
    EXPECT_EQ(std::pair(maps[0].period, maps[1].period), std::pair(std::string(names.first), std::string(names.second)));
    for (int y = 0; y < 2; ++y) EXPECT_EQ(std::pair(maps[y].grid, maps[y].label), std::pair(years[y].grid, years[y].label));
  }
}

}  // namespace
}  // namespace ombrix::gis
