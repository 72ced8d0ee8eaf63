#pragma once
// Where an operation (areal rainfall, a NetCDF export) takes its frames from: a range of frames
// of an open RMD file, or every frame slot of a period decoded straight from the archive's day
// files or the agency's GRIB2 files (a FrameRequest). A request of such an operation holds one
// input; a new kind of input is a new alternative here and a new branch where the operations
// read it.
#include <string>
#include <variant>
#include <vector>

#include "core/frame_source.h"
#include "core/rmd_dataset.h"

namespace ombrix::core {

// Frames first .. last of the file.
struct FileFrames {
  RmdDataset file;
  int first = 0;
  int last = 0;
};

using FrameInput = std::variant<FileFrames, FrameRequest>;

// The files the input reads, as they were named: an operation's output may not be one of them.
std::vector<std::string> inputFiles(const FrameInput& input);

}  // namespace ombrix::core
