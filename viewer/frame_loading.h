#pragma once
// Loading one frame of an open preprocessed file, and the frame stamps that label maps.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/problem.h"
#include "core/rmd_dataset.h"
#include "core/rmd_file.h"

namespace ombrix::viewer {

// Reads frame i (0 .. frameCount - 1) of file into frameGrid (row-major, gridCols x gridRows),
// read in blocks. A frame whose index entry points at no frame data gives a grid of
// noDataValue. Refused, frameGrid unchanged: no file open (a dataset without a path), the file
// has gone or ends before the frame does, or i outside the frame index.
core::Status loadFrame(core::RmdDataset& file, int i, std::vector<std::int16_t>& frameGrid);
// The same from the file's bytes already in memory (all of the file).
core::Status decodeFrame(const core::RmdDataset& file, int i, std::span<const std::uint8_t> fileBytes,
                         std::vector<std::int16_t>& frameGrid);

// "200410050930": year, then month, day, hour and minute each padded to two digits.
std::string frameStamp(const core::TimeStamp& stamp);
// The stamp of frame i of the file; empty for a frame number outside the index.
std::string frameStamp(const core::RmdDataset& file, int i);

// One viewer step without the drawing: frame i loaded into frameGrid, copied into cells (the map
// shown) and label set to its stamp. On a refusal cells and label are unchanged.
core::Status showFrame(core::RmdDataset& file, int i, std::vector<std::int16_t>& frameGrid,
                       std::vector<std::int16_t>& cells, std::string& label);

}  // namespace ombrix::viewer
