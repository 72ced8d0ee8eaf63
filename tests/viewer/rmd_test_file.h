#pragma once
// Small real RMD files given frame by frame, for the viewer tests.
#include <vector>

#include "support/sample_rmd.h"

namespace ombrix::test {

using Frames = std::vector<std::vector<std::int16_t>>;

// Half-hourly frames of rows x cols cells from 2004-07-05 00:00; an empty frame is left without
// data. The header can be adjusted before writing.
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

}  // namespace ombrix::test
