#pragma once
// Loading one frame of the open preprocessed file, and the frame stamps that label maps.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/analysis_conditions.h"
#include "core/problem.h"
#include "core/rmd_file.h"

namespace ombrix::viewer {

// Reads frame i (0 .. frameCount - 1) of the open file into frameGrid (row-major, gridCols x
// gridRows), read in blocks. A frame whose index entry points at no frame data gives a
// grid of noDataValue. Refused, frameGrid unchanged: no file open, the file has gone or ends
// before the frame does, or i outside the frame index.
core::Status loadFrame(const core::AnalysisConditions& conditions, int i, std::vector<std::int16_t>& frameGrid);
// The same from the open file's bytes already in memory (all of the file).
core::Status decodeFrame(const core::AnalysisConditions& conditions, int i, std::span<const std::uint8_t> fileBytes,
                         std::vector<std::int16_t>& frameGrid);

// "200410050930": year, then month, day, hour and minute each padded to two digits.
std::string frameStamp(const core::TimeStamp& stamp);
// The stamp of frame i of the open file; empty for a frame number outside the index.
std::string frameStamp(const core::AnalysisConditions& conditions, int i);
// Appends the stamp of frame i to label.
void appendFrameLabel(std::string& label, const core::AnalysisConditions& conditions, int i);

// One viewer step without the drawing: frame i loaded into frameGrid, copied into rainGrid,
// and frameLabel set to its stamp. On a refusal nothing changes.
core::Status showFrame(core::AnalysisConditions& conditions, int i, std::vector<std::int16_t>& frameGrid);

}  // namespace ombrix::viewer
