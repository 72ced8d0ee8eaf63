#pragma once
// A CF-1.8 NetCDF-4 file of rainfall frames: time with its bounds (each value is the rain of the
// hour ending at its time), lat, lon, a 16-bit rain variable chunked one frame per chunk with
// shuffle and deflate, and a latitude-longitude grid mapping with its figure of the earth. NetCDF-C
// defines the file; the frames, compressed on worker threads, and the time axis are then written
// through HDF5 as finished chunks. Written unnamed (core::StagedOutputPath) and renamed over the
// target by commit().
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/output_file.h"
#include "core/problem.h"
#include "core/rmd_dataset.h"
#include "core/time_stamp.h"
#include "gis/earth_shape.h"

namespace ombrix::gis {

// Minutes since 1970-01-01 00:00 of a stamp read as a time in its own zone; nothing for a stamp
// that is not a time of the calendar (an empty index entry among them).
std::optional<std::int64_t> stampMinutes(const core::TimeStamp& stamp) noexcept;

struct CubeLayout {
  core::CellGrid grid;  // the cell positions follow the CSV exports' rule
  std::int64_t frames = 0;
  int intervalMinutes = 60;
  // Stamp-zone minutes (see stampMinutes) of the slot of frame 0; frame i's slot lies
  // i x intervalMinutes later. A frame never written keeps its slot time and fill values.
  std::int64_t firstSlotMinutes = 0;
  bool stampsUtc = false;  // otherwise stamps are Japan Standard Time and are shifted by -9 h
  EarthShape earth = assumedEarthShape();  // the source's figure where it names one
  std::string title;
  std::string source;
  std::string history;  // the command; the time of writing is put in front
};

class NetcdfCube {
 public:
  NetcdfCube();
  ~NetcdfCube();
  NetcdfCube(const NetcdfCube&) = delete;
  NetcdfCube& operator=(const NetcdfCube&) = delete;

  core::Status create(const std::filesystem::path& target, const CubeLayout& layout);
  // Frame i (rows x cols cells, row-major from the north-west): negative values become the fill
  // value -1. Its time is the stamp's, or the slot's when the stamp is not a time. The frame is
  // compressed while the caller goes on; a failure shows in a later call at the latest.
  core::Status writeFrame(std::int64_t i, const core::TimeStamp& stamp, std::span<const std::int16_t> cells);
  // Writes the frames still being compressed and the time axis, closes the file and renames it
  // over the target.
  core::Status commit();

 private:
  struct Frames;  // the file reopened through HDF5 and the pipeline that compresses its frames

  // Drops the file; the status names the target and the reason (the one HDF5 gave otherwise).
  core::Status failure(std::string reason = {});

  std::unique_ptr<core::StagedOutputPath> output_;
  CubeLayout layout_;
  std::vector<double> times_;
  std::unique_ptr<Frames> frames_;  // closed before output_ removes an uncommitted file
};

}  // namespace ombrix::gis
