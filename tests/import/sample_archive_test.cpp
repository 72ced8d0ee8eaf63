#include "import/sample_archive.h"

#include <gtest/gtest.h>

#include <set>

#include "core/archive_calendar.h"
#include "core/rap_archive.h"
#include "support/test_support.h"

namespace ombrix::import {
namespace {

// A 5 x 5 source grid of 1,000-microdegree cells centred on 1,000 ... 5,000 in both directions.
Grib2Field smallField(std::vector<std::uint8_t> levels) {
  Grib2Field field;
  field.grid = {5, 5, 5000, 1000, 1000, 5000, 1000, 1000};
  field.levelValues = {-1, 0, 4, 10, 20};
  field.levels = std::move(levels);
  return field;
}

TEST(SampleResampling, TakesTheMaximumOfTheCellsWhoseCentresLieInEachCell) {
  // Target cells of 2,500: columns 0 and 1 take source columns {0, 1} and {2, 3, 4}; rows the
  // same; a third column lies east of the source and gets no data.
  const core::GridDescription grid{4250, 1750, 2500, 2500, 3, 2};
  // clang-format off
  const Grib2Field field = smallField({
      0, 0, 1, 2, 0,
      0, 0, 0, 0, 3,
      1, 4, 0, 0, 0,
      0, 0, 0, 0, 0,
      0, 2, 0, 0, 0});
  // clang-format on
  EXPECT_EQ(resampleMaximum(field, grid), (std::vector<std::int16_t>{-1, 10, -1, 20, -1, -1}));
}

TEST(SampleSequence, ShowsEachFieldUnmovedAtItsPeakAndQuantisesBlends) {
  const core::GridDescription grid{4250, 1750, 2500, 2500, 3, 1};
  const std::vector<std::int16_t> levels{0, 4, 10, 20};
  const SampleSequence sequence(grid, {-1, 7, 20}, {-1, -1, 4}, levels);
  std::vector<std::int16_t> cells(3);
  // Record 30 (15 h) shows the first field alone at its own place, 7 quantised to the nearer
  // lower level on a tie between 4 and 10; record 0 the second field alone.
  sequence.makeRecord(30, cells);
  EXPECT_EQ(cells, (std::vector<std::int16_t>{-1, 4, 20}));
  sequence.makeRecord(0, cells);
  EXPECT_EQ(cells, (std::vector<std::int16_t>{-1, 0, 4}));
  // Elsewhere the fields have moved off this tiny grid: covered cells stay dry, never no-data.
  sequence.makeRecord(45, cells);
  EXPECT_EQ(cells, (std::vector<std::int16_t>{-1, 0, 0}));
}

TEST(SampleArchive, ThreeHalfHourlyDaysOnTheNationalGridOrTheMissingFieldNamed) {
  test::TempDir dir;
  const auto archive = dir / "archive";
  const core::Status made = makeSampleArchive(OMBRIX_DATA_DIR, archive);
  ASSERT_TRUE(made) << message(made);
  std::set<std::int16_t> values;
  for (int day = 1; day <= 3; ++day) {
    core::ArchiveFile file;
    ASSERT_TRUE(file.load(core::archiveFilePath(archive.string(), 2005, 7, day)));
    EXPECT_EQ(file.grid(), kSampleGrid);
    ASSERT_EQ(file.records().size(), 48u);
    EXPECT_EQ(file.records()[1].stamp, (core::TimeStamp{2005, 7, static_cast<std::uint8_t>(day), 0, 30}));
    EXPECT_EQ(file.records()[47].stamp, (core::TimeStamp{2005, 7, static_cast<std::uint8_t>(day), 23, 30}));
    values.insert(file.levels().begin(), file.levels().end());
  }
  EXPECT_FALSE(std::filesystem::exists(core::archiveFilePath(archive.string(), 2005, 7, 4)));
  // No data, dry, and the agency's representative levels up to 100 mm/h and no further.
  EXPECT_EQ(*values.begin(), -1);
  EXPECT_TRUE(values.count(0) && values.count(4) && values.count(10));
  EXPECT_EQ(*values.rbegin(), 1000);
  for (std::int16_t v : values) EXPECT_TRUE(v <= 770 ? v % 10 == 0 || v == 4 || v == -1 : v % 50 == 0) << v;

  // From a folder without the fields: the missing one is named and nothing is made.
  const core::Status missing = makeSampleArchive(dir.path(), dir / "other");
  EXPECT_NE(message(missing).find(kSampleFieldFiles[0]), std::string::npos) << message(missing);
  EXPECT_FALSE(std::filesystem::exists(dir / "other"));
}

}  // namespace
}  // namespace ombrix::import
