#pragma once
// The preprocessing run without its dialogs: checks that every archive file of the period shares
// one grid, then writes the RMD file of the analysis area (header, frame index, one frame per
// archive record). Memory stays at one archive file and one grid buffer whatever the period.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/area_frames.h"
#include "core/frame_source.h"
#include "core/problem.h"

namespace ombrix::core {

struct PreprocessResult {
  Status status;
  // Whether the run got far enough to decide its frame layout; only then do the two values
  // below hold the run's outcome.
  bool layoutDecided = false;
  std::uint8_t halfHourly = 0;
  std::int16_t outFrameCount = 0;
};

// The conditions a run still lacks, in the order area (all edges 0), period (no catalogue),
// archive directory.
std::vector<Status> missingConditions(const ArchiveSelection& selection);

// Whether a run may start: reports each condition it still lacks and says whether none is missing.
bool readyToPreprocess(const ArchiveSelection& selection, const std::function<void(const Status&)>& report);

// Full path of the file the next run writes: the archive directory, the region code of
// areaName, and the period's start and end dates.
std::string outputRmdPath(const ArchiveSelection& selection);

// Checks the selection, the grid of every archive file and the limits of the format, then
// writes the stream of area frames (each with its index entry) into the file at output, which is
// replaced only when the last frame has been written; one step of callbacks per archive file.
// Refusals, failures and a cancel leave no file and an existing one unchanged. The run works on
// its own copy of the selection and the output path, so what the caller changes while it yields
// does not reach it.
PreprocessResult runPreprocessing(ArchiveSelection selection, std::filesystem::path output,
                                  const OperationCallbacks& callbacks = {});

}  // namespace ombrix::core
