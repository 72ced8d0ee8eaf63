#pragma once
// The agency's GRIB2 files as a source of frames: the days of the period (JST, or UTC), each of
// 48 half hours stamped as the importer stamps them, a half hour without a file a frame of no
// data. The frames are those import-grib2 followed by a read of the archive would give; files
// that the importer would leave out (unreadable, another grid, a duplicate time, not on a half
// hour) are named through FrameRequest::skipped and left out here too. Messages are decoded on
// two worker threads, only the window's cells written (or only the layout's cellsRead), a few
// frames ahead of the caller.
#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "core/frame_source.h"
#include "import/grib2_field.h"

namespace ombrix::import {

class Grib2Frames final : public core::FrameSource {
 public:
  explicit Grib2Frames(const core::FrameRequest& request) : request_(request) {}
  // Reads every file's header and places it in its half hour: refused when an input does not
  // exist or no file lies in the period. The period's first message in time order sets the grid.
  core::Status plan(const core::AreaBounds& area, core::AreaFrameLayout& layout) override;
  core::Status stream(const core::AreaFrameLayout& layout, const core::OperationCallbacks& callbacks,
                      const core::AreaFrameSink& sink) override;

  // A half hour's file and the grid its header gave.
  struct Slot {
    std::filesystem::path file;
    Grib2LatLonGrid grid;
    int earthShape = 255;
  };

 private:
  void skip(core::Status problem) const;
  void place(const std::vector<std::filesystem::path>& files, std::int64_t days);
  const Slot* keepOneGrid();

  const core::FrameRequest& request_;
  std::chrono::sys_days firstDay_{};
  std::vector<std::optional<Slot>> slots_;  // day x 48 + half hour
};

// The source the request names: its GRIB2 files, or else the archive.
std::unique_ptr<core::FrameSource> frameSourceFor(const core::FrameRequest& request);

}  // namespace ombrix::import
