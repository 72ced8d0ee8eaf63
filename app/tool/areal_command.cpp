// ombrix-tool areal: areal rainfall over the polygons of a vector file, frame by frame, from an
// RMD file or straight from the archive or the agency's GRIB2 files, with the largest depths
// over given durations.
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/tool/archive_selection.h"
#include "app/tool/command_table.h"
#include "app/tool/frame_options.h"
#include "app/tool/long_run.h"
#include "app/tool/maxima_periods.h"
#include "core/number_text.h"
#include "core/period_check.h"
#include "gis/areal_csv.h"
#include "gis/areal_operation.h"
#include "gis/duration_window.h"
#include "viewer/frame_reference.h"

namespace ombrix::tool {
namespace {

constexpr const char* kCommand = "areal";

struct Options {
  std::string rmdPath;
  std::string archive;
  std::string from;
  std::string to;
  std::string polygons;
  std::string nameField;
  std::string durations;
  std::string by;
  std::string out;
  Grib2Options grib2;
};

// "1,3,6,24": hours that gis::durationHoursValid accepts; nothing when a part is not one.
std::optional<std::vector<int>> hoursOf(std::string_view text) {
  std::vector<int> hours;
  while (true) {
    const std::size_t comma = text.find(',');
    const std::optional<std::int32_t> h = core::parseWholeNumber(text.substr(0, comma));
    if (!h || !gis::durationHoursValid(*h)) return std::nullopt;
    hours.push_back(*h);
    if (comma == std::string_view::npos) return hours;
    text.remove_prefix(comma + 1);
  }
}

// Frames from to of the open file (all by default); a usage error when a text names no frame.
core::Status fileSource(const Options& options, core::FrameInput& source) {
  core::FileFrames frames;
  if (core::Status opened = frames.file.open(options.rmdPath); !opened) return opened;
  const FrameRangeText range = wholeFileByDefault({options.from, options.to}, frames.file.frameCount());
  if (core::Status found = resolveFrameRange(frames.file.frames(), range, frames.first, frames.last); !found) {
    return found;
  }
  source = std::move(frames);
  return {};
}

// The days of the period in the archive folder, catalogued.
core::Status archiveSource(const Options& options, const core::PeriodDates& period, core::FrameInput& source) {
  core::ArchiveSelection selection;
  selection.archiveDir = archiveDirectory(options.archive);
  if (core::Status checked = core::checkPeriod(period, selection.archiveDir, selection.period); !checked) return checked;
  source = core::frameRequestOf(selection);
  return {};
}


// Beside the RMD file, or in the archive folder (the current folder with --grib2) named after
// the period.
std::filesystem::path outputPath(const Options& options) {
  if (!options.out.empty()) return options.out;
  if (options.archive.empty() && options.grib2.inputs.empty()) return gis::arealCsvPath(options.rmdPath);
  const std::string folder = options.archive.empty() ? "." : options.archive;
  return gis::arealCsvPath(std::filesystem::path(archiveDirectory(folder)) /
                           (options.from + "_" + options.to + ".RMD"));
}

// Checks the form of the command line: success, or the usage error.
core::Status formError(const Options& options, std::optional<core::PeriodDates>& period) {
  if (!options.archive.empty() && !options.grib2.inputs.empty()) return usageProblem("give either --archive or --grib2");
  if (!options.by.empty() && options.durations.empty()) return usageProblem("--by goes with --durations");
  if (options.archive.empty() && options.grib2.inputs.empty()) {
    if (options.rmdPath.empty()) return usageProblem("one RMD file, --archive DIR or --grib2 PATH... is needed");
    for (const std::string* frame : {&options.from, &options.to}) {
      if (!frame->empty() && !viewer::parseFrameReference(*frame)) {
        return usageProblem("--from and --to are frame numbers from 0 or times YYYY-MM-DDThh:mm");
      }
    }
    return {};
  }
  period = periodOf(options.from, options.to);
  return period ? core::Status()
                : usageProblem("with --archive or --grib2, --from and --to are days written YYYY-MM-DD");
}

int runAreal(const CLI::App& command, Options& options) {
  std::optional<core::PeriodDates> period;
  if (core::Status form = formError(options, period); !form) return usageError(command, form);
  gis::ArealRequest request;
  // From the agency's files the window is cut around the polygons: the request has no area.
  if (period && !options.grib2.inputs.empty()) request.source = grib2Request(*period, {}, {}, options.grib2);
  const core::Status sourced = !period                          ? fileSource(options, request.source)
                               : options.grib2.inputs.empty() ? archiveSource(options, *period, request.source)
                                                              : core::Status();
  if (!sourced) return refused(sourced);
  request.polygons = options.polygons;
  if (!options.nameField.empty()) request.nameField = options.nameField;
  if (!options.durations.empty()) request.durationHours = *hoursOf(options.durations);
  request.by = maximaPeriodsOf(options.by);
  request.out = outputPath(options);
  const gis::ArealResult result = runLong(kCommand, [&request](const core::OperationCallbacks& callbacks) {
    return gis::computeArealRainfall(std::move(request), callbacks);
  });
  if (!options.grib2.inputs.empty()) printGrib2Summary(options.grib2);
  if (!result.status) return refused(result.status);
  for (const std::filesystem::path& file : result.files) std::cout << file.string() << "\n";
  return kExitOk;
}

}  // namespace

CommandRun defineAreal(CLI::App& command) {
  const auto options = std::make_shared<Options>();
  CLI::Option* file = command.add_option("file", options->rmdPath, "preprocessed RMD file")->type_name("FILE.RMD");
  command.add_option("--archive", options->archive, "archive folder, instead of an RMD file")
      ->type_name("DIR")
      ->excludes(file);
  addGrib2Options(command, options->grib2)->excludes(file);
  command.add_option("--from", options->from, "first frame (RMD file) or first day (--archive, --grib2: YYYY-MM-DD)")
      ->type_name("FRAME|DAY");
  command.add_option("--to", options->to, "last frame (RMD file) or last day (--archive, --grib2: YYYY-MM-DD)")
      ->type_name("FRAME|DAY");
  command.add_option("--polygons", options->polygons, "vector file of the polygons (GeoJSON, Shapefile, GeoPackage)")
      ->type_name("FILE")
      ->required();
  command.add_option("--name-field", options->nameField, "field that names each polygon (default: name)")
      ->type_name("FIELD");
  const CLI::Validator hourList(
      [](std::string& text) {
        return hoursOf(text) ? std::string()
                             : "hours are whole numbers from " + std::to_string(gis::kMinDurationHours) + " to " +
                                   std::to_string(gis::kMaxDurationHours);
      },
      "", "hours");
  command.add_option("--durations", options->durations, "hours of the duration maxima, such as 1,3,6,24")
      ->type_name("H,H,...")
      ->check(hourList);
  addMaximaPeriodsOption(command, options->by, "maxima of each calendar year or month of the durations");
  command.add_option("--out", options->out, "the areal CSV file (default: beside the RMD file)")->type_name("PATH");
  return [&command, options] { return runAreal(command, *options); };
}

}  // namespace ombrix::tool
