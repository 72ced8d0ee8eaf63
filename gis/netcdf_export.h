#pragma once
// NetCDF exports of rainfall frames: the frames of an open RMD file, or the analysis area and
// period decoded straight from the archive (no RMD file in between, so neither the RMD frame
// count nor its offsets limit the period or the area).
#include <filesystem>
#include <string>

#include "core/frame_input.h"
#include "core/operation_callbacks.h"
#include "core/problem.h"
#include "core/rmd_dataset.h"

namespace ombrix::gis {

struct NetcdfExportOptions {
  bool stampsUtc = false;  // the archive was imported with UTC days: stamps are not shifted
  std::string history;     // the command that asked for the file
};

// One NetCDF export as both front ends ask for it.
struct NetcdfRequest {
  core::FrameInput source;
  std::filesystem::path target;
  NetcdfExportOptions options;
  // How a target that is there already is refused; None: it is replaced.
  core::Problem targetExists = core::Problem::None;
};

// FILE.RMD -> FILE.nc
std::filesystem::path netcdfPathBeside(const std::filesystem::path& rmdFile);

// Refuses a target that names one of the source's files, then one that exists (as the request
// says), then writes the source's frames. A refusal, a failure or a cancel leaves the target as
// it was.
core::Status exportNetcdf(NetcdfRequest request, const core::OperationCallbacks& callbacks = {});

// Frames first..last of the file, one step of callbacks per frame. Frames without data are fill
// values at the time of their slot, counted from the midnight of the file's first day.
core::Status exportOpenFileNetcdf(core::RmdDataset& file, int first, int last, const std::filesystem::path& target,
                                  const NetcdfExportOptions& options, const core::OperationCallbacks& callbacks = {});

// The area and period of the request, from its source (the archive's catalogue or the GRIB2
// files), with the preprocessing run's checks and messages, one step of callbacks per archive
// day; the period's first day's midnight is the slot of frame 0.
core::Status exportArchiveNetcdf(const core::FrameRequest& request, const std::filesystem::path& target,
                                 const NetcdfExportOptions& options, const core::OperationCallbacks& callbacks = {});

}  // namespace ombrix::gis
