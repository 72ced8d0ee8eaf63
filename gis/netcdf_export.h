#pragma once
// NetCDF exports of rainfall frames: the frames of an open RMD file, or the analysis area and
// period decoded straight from the archive (no RMD file in between, so neither the RMD frame
// count nor its offsets limit the period or the area).
#include <filesystem>
#include <functional>
#include <string>

#include "core/frame_source.h"
#include "core/problem.h"
#include "core/rmd_dataset.h"

namespace ombrix::gis {

struct NetcdfExportOptions {
  bool stampsUtc = false;                         // the archive was imported with UTC days: stamps are not shifted
  std::string history;                            // the command that asked for the file
  std::function<void()> yield;                    // lets pending user-interface events run
  std::function<void(double fraction)> progress;  // after each yield
};

// FILE.RMD -> FILE.nc
std::filesystem::path netcdfPathBeside(const std::filesystem::path& rmdFile);

// Frames first..last of the file. Frames without data are fill values at the time of their
// slot, counted from the midnight of the file's first day.
core::Status exportOpenFileNetcdf(core::RmdDataset& file, int first, int last, const std::filesystem::path& target,
                                  const NetcdfExportOptions& options);

// The area and period of the request, from its source (the archive's catalogue or the GRIB2
// files), with the preprocessing run's checks and messages; the period's first day's midnight is
// the slot of frame 0.
core::Status exportArchiveNetcdf(const core::FrameRequest& request, const std::filesystem::path& target,
                                 const NetcdfExportOptions& options);

}  // namespace ombrix::gis
