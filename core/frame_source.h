#pragma once
// Where an analysis (areal rainfall, a NetCDF export) takes its frames from: a range of frames
// of an open RMD file, or every frame slot of an archive period decoded straight from the
// archive files. A request of such an operation holds one source; a new kind of source is a new
// alternative here and a new branch where the operations read it.
#include <string>
#include <variant>
#include <vector>

#include "core/analysis_conditions.h"
#include "core/rmd_dataset.h"

namespace ombrix::core {

// Frames first .. last of the file.
struct FileFrames {
  RmdDataset file;
  int first = 0;
  int last = 0;
};

// The archive directory, area, period and catalogue (archiveFiles) of conditions.
struct ArchiveFrames {
  AnalysisConditions conditions;
};

using FrameSource = std::variant<FileFrames, ArchiveFrames>;

// The files the source reads: an operation's output may not be one of them.
std::vector<std::string> sourceFiles(const FrameSource& source);

}  // namespace ombrix::core
