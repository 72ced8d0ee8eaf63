// An open file as one value: its cells' steps follow the era of its first frame, and it reads the
// file it first read even once another file has taken its path.
#include "core/rmd_dataset.h"

#include <gtest/gtest.h>

#include <numeric>

#include "core/messages.h"
#include "support/sample_grid.h"
#include "support/test_support.h"

namespace ombrix::core {
namespace {

// Two frames of 2 x 3 cells stamped year/month, holding base + 10 k + cell.
void writeFile(const std::filesystem::path& path, int year, int month, std::int16_t base) {
  RmdWriter writer;
  ASSERT_TRUE(writer.create(path, test::sampleGrid(2, 2, 3), 48));
  for (int k = 0; k < 2; ++k) {
    writer.setEntry(k, {static_cast<std::int16_t>(year), static_cast<std::uint8_t>(month), 1, 0,
                        static_cast<std::uint8_t>(30 * k)});
    std::vector<std::int16_t> cells(6);
    std::iota(cells.begin(), cells.end(), static_cast<std::int16_t>(base + 10 * k));
    ASSERT_TRUE(writer.writeFrame(k, cells));
  }
  ASSERT_TRUE(writer.commit());
}

TEST(RmdDataset, StepsByEraFramesOfTheFileFirstReadAndRefusals) {
  test::TempDir dir;
  writeFile(dir / "a.RMD", 2001, 3, 0);
  writeFile(dir / "b.RMD", 2001, 4, 0);
  RmdDataset early;
  RmdDataset later;
  ASSERT_TRUE(early.open(dir / "a.RMD"));
  ASSERT_TRUE(later.open(dir / "b.RMD"));
  EXPECT_EQ(early.grid(), (CellGrid{139'000'000, 36'000'000, 25'000, 16'666, 3, 2}));
  EXPECT_EQ(later.grid(), (CellGrid{139'000'000, 36'000'000, 12'500, 8'333, 3, 2}));

  std::vector<std::int16_t> cells;
  ASSERT_TRUE(early.readFrame(1, cells));
  EXPECT_EQ(cells, (std::vector<std::int16_t>{10, 11, 12, 13, 14, 15}));
  writeFile(dir / "a.RMD", 2001, 3, 100);  // renamed over the path the dataset reads
  ASSERT_TRUE(early.readCells(0, {4, 2}, cells));
  EXPECT_EQ(cells, (std::vector<std::int16_t>{4, 5}));
  ASSERT_TRUE(early.readCellSeries(5, cells));
  EXPECT_EQ(cells, (std::vector<std::int16_t>{5, 15}));
  EXPECT_EQ(early.readFrame(2, cells).problem, Problem::FrameNotInFile);
  EXPECT_EQ(early.readFrame(-1, cells).problem, Problem::FrameNotInFile);
  EXPECT_EQ(cells, (std::vector<std::int16_t>{5, 15}));

  RmdDataset gone;
  EXPECT_EQ(gone.open(dir / "gone.RMD").problem, Problem::RmdFileMissing);
  std::filesystem::remove(dir / "b.RMD");  // gone before the first read
  EXPECT_EQ(message(later.readFrame(0, cells)), std::string(messages::kRmdFileGone) + (dir / "b.RMD").string());
}

}  // namespace
}  // namespace ombrix::core
