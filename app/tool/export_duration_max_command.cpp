// ombrix-tool export-duration-max FILE.RMD --hours H: each cell's largest H-hour depth over the
// file, as a GeoTIFF map in mm; or over an area and period straight from the archive (--archive
// DIR) or the agency's files (--grib2 PATH...), with --region, --from, --to and [--area]. With
// --by year|month, a band per calendar year or month.
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <utility>

#include "app/tool/archive_selection.h"
#include "app/tool/command_table.h"
#include "app/tool/export_session.h"
#include "app/tool/long_run.h"
#include "app/tool/maxima_periods.h"
#include "core/distinct_output.h"
#include "gis/duration_map.h"
#include "gis/duration_window.h"
#include "gis/frames_duration_map.h"
#include "gis/map_band.h"
#include "gis/shown_map_geotiff.h"
#include "viewer/frame_accumulation.h"

namespace ombrix::tool {
namespace {

struct Options {
  std::string rmdPath;
  int hours = 0;
  std::string by;
  std::string out;
  ArchiveOptions archive;
  Grib2Options grib2;
};

// The --archive and --grib2 forms: written in the archive folder (the current folder with
// --grib2) by default, named after the area, the period and H.
int runFromFrames(const CLI::App& command, Options& options) {
  if (!options.rmdPath.empty() || (command.count("--archive") && command.count("--grib2"))) {
    return usageError(command, usageProblem("give either FILE.RMD, --archive or --grib2"));
  }
  core::ArchiveSelection selection;
  if (core::Status read = readArchiveSelection(options.archive, selection); !read) return usageError(command, read);
  core::FrameRequest request;
  if (options.grib2.inputs.empty()) {
    if (!catalogueSelection(selection)) return kExitRefused;
    request = core::frameRequestOf(selection);
  } else {
    selection.archiveDir = archiveDirectory(".");
    request = grib2Request(selection.period.dates, selection.area, selection.areaName, options.grib2);
  }
  std::filesystem::path out = options.out;
  if (out.empty()) {
    out = std::filesystem::path(core::outputRmdPath(selection)).replace_extension().string() + viewer::durationSuffix(options.hours) + ".tif";
  }
  if (core::Status distinct = core::checkOutputNotInput(out, request.archiveFiles); !distinct) return refused(distinct);
  gis::DurationMapGeoTiff tiff(out);
  const core::Status computed = runLong("export-duration-max", [&](const core::OperationCallbacks& callbacks) {
    return gis::durationMaximumMapOf(request, options.hours, maximaPeriodsOf(options.by), tiff.sink(), callbacks);
  });
  if (request.fromGrib2()) printGrib2Summary(options.grib2);
  if (!computed) return refused(computed);
  if (core::Status written = tiff.commit(); !written) return refused(written);
  std::cout << out.string() << "\n";
  return kExitOk;
}

}  // namespace

CommandRun defineExportDurationMax(CLI::App& command) {
  const auto options = std::make_shared<Options>();
  addRmdFileArgument(command, options->rmdPath)->required(false);
  addArchiveOptions(command, options->archive);
  addPeriodOptions(command, options->archive);
  addGrib2Options(command, options->grib2);
  command.add_option("--hours", options->hours, "duration H in hours")
      ->type_name("H")
      ->required()
      ->check(CLI::Range(gis::kMinDurationHours, gis::kMaxDurationHours));
  addMaximaPeriodsOption(command, options->by, "a band of the maxima of each calendar year or month");
  command.add_option("--out", options->out, "the GeoTIFF file (default: the current-display name, .tif)")
      ->type_name("PATH");
  return [&command, options] {
    if (command.count("--archive") || command.count("--grib2")) return runFromFrames(command, *options);
    if (options->rmdPath.empty()) return usageError(command, usageProblem("FILE.RMD, --archive DIR or --grib2 PATH... is needed"));
    ExportSession session;
    if (core::Status opened = openForExport(options->rmdPath, session); !opened) return refused(opened);
    core::RmdDataset& file = session.file;
    // Named like the current-display map of the whole file.
    session.label = gis::durationLabel(file.index().front().stamp, file.index().back().stamp, options->hours);
    const std::filesystem::path out = options->out.empty()
                                          ? gis::shownMapGeoTiffPath(session.shownMap(), session.areaName)
                                          : std::filesystem::path(options->out);
    if (core::Status distinct = core::checkOutputNotInput(out, {options->rmdPath}); !distinct) return refused(distinct);
    gis::DurationMapGeoTiff tiff(out);
    const core::Status computed =
        runLong("export-duration-max", [&](const core::OperationCallbacks& callbacks) {
          return gis::durationMaximumMaps(file, 0, file.frameCount() - 1, options->hours, maximaPeriodsOf(options->by),
                                          tiff.sink(), callbacks);
        });
    if (!computed) return refused(computed);
    if (core::Status written = tiff.commit(); !written) return refused(written);
    std::cout << out.string() << "\n";
    return kExitOk;
  };
}

}  // namespace ombrix::tool
