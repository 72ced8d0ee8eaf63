#pragma once
// The whole-period CSV set of the open file: a new folder beside it holding one CSV file per
// day (one column per frame of the day) and "FileList.txt" naming the day files in order.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "core/operation_callbacks.h"
#include "core/problem.h"
#include "core/rmd_dataset.h"

namespace ombrix::exports {

struct PeriodExportResult {
  // Written (ok); no file open (NoFramesOpen: nothing written, nothing to tell the user); or
  // refused: the folder exists already, or the set could not be written.
  core::Status status;
  std::string periodLabel;  // YYYYMMDD of the first and of the last frame; becomes frameLabel
  std::optional<std::uint8_t> halfHourly;  // decided once the export has begun
  std::filesystem::path folder;
};

// The first 8 characters of frame 0's stamp and of the last frame's: "2005070120050731". The
// export folder is the file's folder / (region code of the area text) + this label.
std::string periodLabel(const core::RmdDataset& file);

// Writes the set for a progress bar progressWidth units wide: one step of callbacks before each
// day file, with the bar's width then (from 0) of progressWidth, and a last yield and progress
// (progressWidth) once the set is named. Its files are written unnamed beside the target and
// named in a hidden temporary folder that is renamed to the target only when all are complete,
// so a refusal, a failure, a cancel or a killed process leaves nothing behind and never touches
// what exists. Frames are read straight from the file, by a reader of the export's own; an
// index entry without frame data gives noDataValue for every cell of its frame.
PeriodExportResult exportPeriod(const core::RmdDataset& file, std::string_view areaText, int progressWidth,
                                const core::OperationCallbacks& callbacks = {});

}  // namespace ombrix::exports
