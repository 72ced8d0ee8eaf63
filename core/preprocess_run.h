#pragma once
// The preprocessing run without its dialogs: checks that every archive file of the period shares
// one grid, then writes the RMD file of the analysis area (header, frame index, one frame per
// archive record). Memory stays at one archive file and one grid buffer whatever the period.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "core/analysis_conditions.h"
#include "core/area_frames.h"
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

// Whether a run may start: reports each condition it still lacks (area, period, archive
// directory, in that order) and says whether none is missing.
bool readyToPreprocess(const AnalysisConditions& conditions, const std::function<void(const Status&)>& report);

// Full path of the file the next run writes: the archive directory, the region code of
// areaName, and the period's start and end dates.
std::string outputRmdPath(const AnalysisConditions& conditions);

// Checks the conditions, the grid of every archive file and the limits of the format, then writes
// the stream of area frames (each with its index entry) into the file at output, which is
// replaced only when the last frame has been written; one step of callbacks per archive file.
// Refusals, failures and a cancel leave no file and an existing one unchanged. The run works on its own copy of the catalogue, the area, the
// period and the output path, taken when it starts: changes made to conditions while it yields
// do not reach it.
PreprocessResult runPreprocessing(const AnalysisConditions& conditions, std::filesystem::path output,
                                  const OperationCallbacks& callbacks = {});

// Stores halfHourly and outFrameCount when the run decided them; nothing else is touched.
void applyPreprocessResult(const PreprocessResult& result, AnalysisConditions& conditions) noexcept;

}  // namespace ombrix::core
