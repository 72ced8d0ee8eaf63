#pragma once
// The preprocessing run without its dialogs: checks that every archive file of the period shares
// one grid, then writes the RMD file of the analysis area (header, frame index, one frame per
// archive record). Memory stays at one archive file and one grid buffer whatever the period.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>

#include "core/analysis_conditions.h"
#include "core/rmd_file.h"
#include "core/status.h"

namespace ombrix::core {

struct PreprocessCallbacks {
  // Called in the frame pass once per archive file before it is decoded, with the number of
  // files begun so far (f + 1) and the file count.
  std::function<void(int filesBegun, int fileCount)> progress;
  // Called at the same point, first: lets pending user-interface events run.
  std::function<void()> yield;
};

struct PreprocessResult {
  Status status;
  // Whether the run got far enough to decide its frame layout; only then do the two values
  // below hold the run's outcome.
  bool layoutDecided = false;
  std::uint8_t halfHourly = 0;
  std::int16_t outFrameCount = 0;
};

// Full path of the file the next run writes: the archive directory, the region code of
// areaName, and the period's start and end dates.
std::string outputRmdPath(const AnalysisConditions& conditions);

// Runs the three passes over conditions.archiveFiles and writes the file at output, which is
// replaced only when the last frame has been written. Refusals and failures leave no file and
// an existing one unchanged.
PreprocessResult runPreprocessing(const AnalysisConditions& conditions, const std::filesystem::path& output,
                                  const PreprocessCallbacks& callbacks = {});

// The frames of the period decoded straight from the archive, without an RMD file and its
// size limits: the same checks and refusals as a run (but any period length), then begin()
// with the header the run would write (frameCount 0) and the frames per day, then frame()
// for each archive record in slot order (day f, record j: slot f x framesPerDay + j), with the
// cells of the window. Slots without a record are not handed on.
struct FrameStream {
  std::function<Status(const RmdHeader& header, int framesPerDay)> begin;
  std::function<Status(int slot, const TimeStamp& stamp, std::span<const std::int16_t> cells)> frame;
};
Status streamPeriodFrames(const AnalysisConditions& conditions, const FrameStream& stream,
                          const PreprocessCallbacks& callbacks = {});

// Stores halfHourly and outFrameCount when the run decided them; nothing else is touched.
void applyPreprocessResult(const PreprocessResult& result, AnalysisConditions& conditions) noexcept;

}  // namespace ombrix::core
