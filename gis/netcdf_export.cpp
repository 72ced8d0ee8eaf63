#include "gis/netcdf_export.h"

#include <memory>
#include <optional>
#include <vector>

#include "core/area_frames.h"
#include "core/distinct_output.h"
#include "core/frame_slots.h"
#include "core/preprocess_run.h"
#include "core/region_table.h"
#include "core/rmd_file.h"
#include "import/grib2_frames.h"
#include "gis/netcdf_cube.h"

namespace ombrix::gis {

namespace {

constexpr int kMinutesPerDay = 24 * 60;
constexpr std::string_view kSource = "Radar-AMeDAS composite rainfall archive, decoded by Ombrix";

CubeLayout layoutFor(const core::CellGrid& grid, const std::string& name, const NetcdfExportOptions& options) {
  CubeLayout layout;
  layout.grid = grid;
  layout.stampsUtc = options.stampsUtc;
  layout.title = "Rainfall " + name;
  layout.source = kSource;
  layout.history = options.history;
  return layout;
}

}  // namespace

std::filesystem::path netcdfPathBeside(const std::filesystem::path& rmdFile) {
  std::filesystem::path path = rmdFile;
  return path.replace_extension(".nc");
}

core::Status exportNetcdf(NetcdfRequest request, const core::OperationCallbacks& callbacks) {
  if (core::Status s = core::checkOutputNotInput(request.target, core::inputFiles(request.source)); !s) return s;
  std::error_code error;
  if (request.targetExists != core::Problem::None && std::filesystem::exists(request.target, error)) {
    return {request.targetExists, request.target};
  }
  if (auto* frames = std::get_if<core::FrameRequest>(&request.source)) {
    return exportArchiveNetcdf(*frames, request.target, request.options, callbacks);
  }
  core::FileFrames& frames = std::get<core::FileFrames>(request.source);
  return exportOpenFileNetcdf(frames.file, frames.first, frames.last, request.target, request.options, callbacks);
}

core::Status exportOpenFileNetcdf(core::RmdDataset& file, int first, int last, const std::filesystem::path& target,
                                  const NetcdfExportOptions& options, const core::OperationCallbacks& callbacks) {
  if (first < 0 || last >= file.frameCount()) return {core::Problem::FrameNotInFile};
  if (last < first) return {core::Problem::TimesNotInOrder};
  const core::RmdHeader& header = file.header();
  const auto clock = core::slotClockOf(header, file.index());
  const auto midnight = clock ? stampMinutes(clock->firstDay) : std::nullopt;
  if (!midnight) return {core::Problem::NoFrameWithTime, file.path()};

  CubeLayout layout = layoutFor(file.grid(), file.path().stem().string(), options);
  layout.frames = last - first + 1;
  layout.intervalMinutes = kMinutesPerDay / clock->framesPerDay;
  layout.firstSlotMinutes = *midnight + static_cast<std::int64_t>(first) * layout.intervalMinutes;

  NetcdfCube cube;
  if (core::Status s = cube.create(target, layout); !s) return s;
  const std::vector<core::TimeStamp> times = core::frameTimes(header, file.index());
  std::vector<std::int16_t> frame;
  for (int k = first; k <= last; ++k) {
    if (core::Status s = callbacks.step(k - first + 1, layout.frames); !s) return s;
    const auto index = static_cast<std::size_t>(k);
    if (!core::frameHasData(header, file.index()[index].frameOffset)) continue;
    if (core::Status s = file.readFrame(k, frame); !s) return s;
    if (core::Status s = cube.writeFrame(k - first, times[index], frame); !s) return s;
  }
  return cube.commit();
}

core::Status exportArchiveNetcdf(const core::FrameRequest& request, const std::filesystem::path& target,
                                 const NetcdfExportOptions& options, const core::OperationCallbacks& callbacks) {
  const std::unique_ptr<core::FrameSource> source = import::frameSourceFor(request);
  core::AreaFrameLayout area;
  if (core::Status s = source->plan(request.area, area); !s) return s;

  const core::PeriodDates& p = request.period;
  const std::string name = core::rmdFileName(core::regionCodeForName(request.areaName), p.year[0], p.month[0],
                                             p.day[0], p.year[1], p.month[1], p.day[1]);
  CubeLayout layout = layoutFor(core::cellGridOf(area.header, p.year[0], p.month[0]),
                                std::filesystem::path(name).stem().string(), options);
  layout.earth = grib2EarthShape(area.earthShapeCode).value_or(assumedEarthShape());
  layout.frames = area.frameCount();
  layout.intervalMinutes = kMinutesPerDay / area.framesPerDay;
  layout.firstSlotMinutes =
      stampMinutes({static_cast<std::int16_t>(p.year[0]), static_cast<std::uint8_t>(p.month[0]),
                    static_cast<std::uint8_t>(p.day[0]), 0, 0})
          .value_or(0);

  const core::SlotClock clock = core::slotClockFrom(p.year[0], p.month[0], p.day[0]);
  NetcdfCube cube;
  if (core::Status s = cube.create(target, layout); !s) return s;
  const core::Status streamed =
      source->stream(area, callbacks,
                             [&](std::int64_t k, const core::TimeStamp& stamp, std::span<const std::int16_t> cells) {
                               const core::TimeStamp time = core::frameTime(stamp, clock.slotTime(static_cast<int>(k)));
                               return cube.writeFrame(k, time, cells);
                             });
  if (!streamed) return streamed;
  return cube.commit();
}

}  // namespace ombrix::gis
