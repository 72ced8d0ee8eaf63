#pragma once
// What an analysis reads: the days of a period cut to an area window, from the archive's day
// files or straight from the agency's GRIB2 files, handed on as frames in time order. Analyses
// are written once against a FrameSource; the request says which one and what it covers.
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/area_frames.h"
#include "core/frame_slots.h"
#include "core/period_check.h"
#include "core/region_table.h"

namespace ombrix::core {

struct FrameRequest {
  PeriodDates period;
  AreaBounds area{};
  std::string areaName;  // names the outputs
  // The archive: the period's catalogue, one day file per day.
  std::vector<std::string> archiveFiles;
  // The GRIB2 files and folders searched for them (as import-grib2 takes them); not empty: the
  // frames come from these instead of the archive.
  std::vector<std::filesystem::path> grib2Inputs;
  bool utc = false;  // GRIB2: days of UTC, stamps unshifted, instead of Japan Standard Time
  // GRIB2: each file left out, as it is met, with the reason.
  std::function<void(const Status&)> skipped;
  bool fromGrib2() const noexcept { return !grib2Inputs.empty(); }
};

// What a run over the archive reads: the area, the period with its catalogue, and the archive
// folder (where preprocessing writes).
struct ArchiveSelection {
  AreaBounds area{};
  std::string areaName;  // its region names the outputs
  ArchivePeriod period;
  std::string archiveDir;
};

// The archive form of a selection: area, period and catalogue.
FrameRequest frameRequestOf(const ArchiveSelection& selection);

class FrameSource {
 public:
  virtual ~FrameSource() = default;
  // The checks, the grid and the window of area; no frame is decoded.
  virtual Status plan(const AreaBounds& area, AreaFrameLayout& layout) = 0;
  // Hands on frame k = day x S + slot, in order, for every slot the source holds a record for;
  // stops at the first failure, the sink's included.
  virtual Status stream(const AreaFrameLayout& layout, const OperationCallbacks& callbacks,
                        const AreaFrameSink& sink) = 0;
};

// The archive's day files of the request.
class ArchiveFrames final : public FrameSource {
 public:
  explicit ArchiveFrames(const FrameRequest& request) : request_(request) {}
  Status plan(const AreaBounds& area, AreaFrameLayout& layout) override;
  Status stream(const AreaFrameLayout& layout, const OperationCallbacks& callbacks,
                const AreaFrameSink& sink) override;

 private:
  const FrameRequest& request_;
};

// Streams every slot 0 .. layout.frameCount() - 1 in order, a slot the source holds no record
// for as a frame of no data (-1) stamped with its slot's time; a record's stamp goes through
// frameTime, so the sink gets the time every analysis labels the frame with.
Status streamEverySlot(FrameSource& source, const AreaFrameLayout& layout, const SlotClock& clock,
                       const OperationCallbacks& callbacks, const AreaFrameSink& sink);

}  // namespace ombrix::core
