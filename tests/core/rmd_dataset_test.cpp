// An open file as one value: its cells' steps follow the era of its first frame, and it reads the
// file it first read even once another file has taken its path.
#include "core/rmd_dataset.h"

#include <gtest/gtest.h>

#include "support/sample_rmd.h"

namespace ombrix::core {
namespace {

// Two frames of 2 x 3 cells in March 2001 (steps doubled), cell c of frame k holding base + 10 k + c.
void writeFile(const std::filesystem::path& path, int base) {
  test::Frames frames(2);
  for (int i = 0; i < 12; ++i) frames[i / 6].push_back(static_cast<std::int16_t>(base + i / 6 * 10 + i % 6));
  test::writeFrames(path, 2, 3, frames, {}, {{2001, 3, 1, 0, 0}, {2001, 3, 1, 0, 30}});
}

TEST(RmdDataset, StepsByEraFramesOfTheFileFirstReadAndRefusals) {
  test::TempDir dir;
  writeFile(dir / "a.RMD", 0);
  RmdDataset file, unread;
  ASSERT_TRUE(file.open(dir / "a.RMD") && unread.open(dir / "a.RMD"));
  EXPECT_EQ(file.grid(), (CellGrid{139'000'000, 36'000'000, 25'000, 16'666, 3, 2}));
  std::vector<std::int16_t> cells;
  ASSERT_TRUE(file.readFrame(1, cells));
  writeFile(dir / "a.RMD", 100);  // renamed over the path the dataset reads
  ASSERT_TRUE(file.readCells(0, {4, 2}, cells) && cells == std::vector<std::int16_t>({4, 5}));
  ASSERT_TRUE(file.readCellSeries(5, cells) && cells == std::vector<std::int16_t>({5, 15}));
  EXPECT_EQ(file.readFrame(2, cells).problem, Problem::FrameNotInFile);
  EXPECT_EQ(RmdDataset().open(dir / "gone.RMD").problem, Problem::RmdFileMissing);
  std::filesystem::remove(dir / "a.RMD");  // gone before the first read
  EXPECT_EQ(unread.readFrame(0, cells).problem, Problem::RmdFileGone);
}

}  // namespace
}  // namespace ombrix::core
