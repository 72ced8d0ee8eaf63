#pragma once
// The one writer of small real RMD files for the tests, and the conditions the viewer leaves
// after opening one.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <algorithm>
#include <functional>
#include <vector>

#include "core/analysis_conditions.h"
#include "core/rmd_file.h"
#include "support/sample_grid.h"
#include "support/test_support.h"
#include "viewer/rmd_opening.h"

namespace ombrix::test {

// The value of a cell in frame k.
using CellValue = std::function<std::int16_t(int k, int cell)>;

// Stamps of `days` whole days from the given date, perDay frames a day (24 hourly, 48
// half-hourly); the day number simply counts on, which is all the tests need.
inline std::vector<core::TimeStamp> dayStamps(int year, int month, int day, int days, int perDay) {
  std::vector<core::TimeStamp> stamps;
  for (int d = 0; d < days; ++d) {
    for (int j = 0; j < perDay; ++j) {
      const int minutes = j * (24 * 60 / perDay);
      stamps.push_back({static_cast<std::int16_t>(year), static_cast<std::uint8_t>(month),
                        static_cast<std::uint8_t>(day + d), static_cast<std::uint8_t>(minutes / 60),
                        static_cast<std::uint8_t>(minutes % 60)});
    }
  }
  return stamps;
}

// Frames listed in empty are left without data (index entry with offset 0).
inline void writeSampleRmd(const std::filesystem::path& path, const core::RmdHeader& header, int perDay,
                           const std::vector<core::TimeStamp>& stamps, const CellValue& value,
                           const std::vector<int>& empty = {}) {
  core::RmdWriter writer;
  ASSERT_TRUE(writer.create(path, header, perDay));
  std::vector<std::int16_t> cells(header.cellCount());
  for (int k = 0; k < header.frameCount; ++k) {
    if (static_cast<std::size_t>(k) < stamps.size()) writer.setEntry(k, stamps[static_cast<std::size_t>(k)]);
    if (std::find(empty.begin(), empty.end(), k) != empty.end()) continue;
    for (std::size_t c = 0; c < cells.size(); ++c) cells[c] = value(k, static_cast<int>(c));
    ASSERT_TRUE(writer.writeFrame(k, cells));
  }
  ASSERT_TRUE(writer.commit());
}

using Frames = std::vector<std::vector<std::int16_t>>;

// The frames given one by one, half-hourly from 2004-07-05 00:00 unless stamps are given; an
// empty frame is left without data.
inline void writeFrames(const std::filesystem::path& path, int rows, int cols, const Frames& frames,
                        core::RmdHeader header = {}, std::vector<core::TimeStamp> stamps = {}) {
  if (header.gridRows == 0) header = sampleGrid(static_cast<int>(frames.size()), rows, cols);
  if (stamps.empty()) stamps = dayStamps(2004, 7, 5, static_cast<int>(frames.size() + 47) / 48, 48);
  std::vector<int> empty;
  for (std::size_t k = 0; k < frames.size(); ++k) {
    if (frames[k].empty()) empty.push_back(static_cast<int>(k));
  }
  writeSampleRmd(path, header, 48, stamps, [&](int k, int c) { return frames[k][c]; }, empty);
}

// The conditions after the viewer opened path.
inline core::AnalysisConditions openedConditions(const std::filesystem::path& path) {
  core::AnalysisConditions conditions;
  const viewer::RmdOpening opening = viewer::openRmdFile(path, 800, 600);
  EXPECT_TRUE(opening.status) << message(opening.status);
  conditions.takeOpenedFile(opening.file.dataset(), opening.file.geometry, opening.file.areaName);
  return conditions;
}

// The lines of a CR LF text; fails the test on a bare LF or a missing final line end.
inline std::vector<std::string> crlfLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find("\r\n", start);
    EXPECT_NE(end, std::string::npos) << "last line without CR LF";
    if (end == std::string::npos) break;
    lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(lines.back().find('\n'), std::string::npos) << "bare LF in line " << lines.size();
    start = end + 2;
  }
  return lines;
}

}  // namespace ombrix::test
