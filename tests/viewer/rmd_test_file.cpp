#include "viewer/rmd_test_file.h"

#include <gtest/gtest.h>

#include "viewer/rmd_opening.h"

namespace ombrix::test {

TestRmd makeTestRmd(int rows, int cols, const std::vector<std::vector<std::int16_t>>& frames) {
  TestRmd file;
  file.header.frameCount = static_cast<std::int16_t>(frames.size());
  file.header.fileWestLon = 137000000;
  file.header.fileNorthLat = 39000000;
  file.header.gridRows = static_cast<std::int16_t>(rows);
  file.header.gridCols = static_cast<std::int16_t>(cols);
  file.header.fileEastLon = 137000000 + (cols - 1) * 31250;
  file.header.fileSouthLat = 39000000 - (rows - 1) * 20833;
  file.header.cellLonStep = 31250;
  file.header.cellLatStep = 20833;
  file.header.noDataValue = -1;
  for (std::size_t k = 0; k < frames.size(); ++k) {
    const auto minutes = static_cast<int>(k) * 30;
    file.stamps.push_back({2004, 7, static_cast<std::uint8_t>(5 + minutes / 1440),
                           static_cast<std::uint8_t>(minutes / 60 % 24), static_cast<std::uint8_t>(minutes % 60)});
  }
  file.frames = frames;
  return file;
}

void writeTestRmd(const std::filesystem::path& path, const TestRmd& file) {
  core::RmdWriter writer;
  ASSERT_TRUE(writer.create(path, file.header, 48).ok);
  for (std::size_t k = 0; k < file.frames.size(); ++k) {
    const int frame = static_cast<int>(k);
    if (file.frames[k].empty()) continue;
    writer.setEntry(frame, file.stamps[k]);
    ASSERT_TRUE(writer.writeFrame(frame, file.frames[k]).ok);
  }
  ASSERT_TRUE(writer.commit().ok);
}

core::AnalysisConditions openedConditions(const std::filesystem::path& path) {
  core::AnalysisConditions conditions;
  const viewer::RmdOpening opening = viewer::openRmdFile(path, 689, 593);
  EXPECT_EQ(opening.outcome, viewer::OpenOutcome::Opened) << opening.status.message;
  viewer::applyOpening(opening, conditions);
  return conditions;
}

}  // namespace ombrix::test
