// ombrix-tool areal: areal rainfall over the polygons of a vector file, frame by frame, from an
// RMD file or straight from the archive, with the largest depths over given durations.
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/tool/archive_selection.h"
#include "app/tool/command_table.h"
#include "app/tool/export_session.h"
#include "app/tool/frame_options.h"
#include "core/archive_calendar.h"
#include "core/distinct_output.h"
#include "core/number_text.h"
#include "core/period_check.h"
#include "gis/areal_csv.h"
#include "gis/areal_run.h"
#include "gis/duration_window.h"
#include "gis/polygon_file.h"
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
  std::string out;
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
core::Status fromRmdFile(const Options& options, const std::vector<gis::Shape>& shapes,
                         gis::ArealComputation& computation) {
  core::RmdDataset file;
  if (core::Status opened = file.open(options.rmdPath); !opened) return opened;
  const FrameRangeText range = wholeFileByDefault({options.from, options.to}, file.frameCount());
  int first = 0;
  int last = 0;
  if (core::Status found = resolveFrameRange(file.frames(), range, first, last); !found) return found;
  TerminalProgress bar(kCommand);
  core::PreprocessCallbacks callbacks;
  callbacks.progress = [&bar](int done, int count) { bar.update(static_cast<double>(done) / count); };
  return gis::arealOverOpenFile(file, shapes, first, last, computation, callbacks);
}

// Beside the RMD file, or in the archive folder named after the period.
std::filesystem::path outputPath(const Options& options) {
  if (!options.out.empty()) return options.out;
  if (options.archive.empty()) return gis::arealCsvPath(options.rmdPath);
  return gis::arealCsvPath(std::filesystem::path(archiveDirectory(options.archive)) /
                           (options.from + "_" + options.to + ".RMD"));
}

// Neither the series file nor the durations file may be one of inputs.
core::Status checkOutputs(const Options& options, const std::vector<std::string>& inputs) {
  const std::filesystem::path out = outputPath(options);
  core::Status status = core::checkOutputNotInput(out, inputs);
  if (status && !options.durations.empty()) status = core::checkOutputNotInput(gis::durationCsvPath(out), inputs);
  return status;
}

core::Status fromArchive(const Options& options, const core::PeriodDates& period,
                         const std::vector<gis::Shape>& shapes, gis::ArealComputation& computation) {
  core::AnalysisConditions conditions;
  conditions.archiveDir = archiveDirectory(options.archive);
  if (core::Status checked = core::checkPeriod(period, conditions); !checked) return checked;
  if (core::Status distinct = checkOutputs(options, conditions.archiveFiles); !distinct) return distinct;
  TerminalProgress bar(kCommand);
  core::PreprocessCallbacks callbacks;
  callbacks.progress = [&bar](int begun, int count) { bar.update(static_cast<double>(begun) / count); };
  return gis::arealOverArchive(conditions, shapes, computation, callbacks);
}

// Checks the form of the command line: success, or the usage error.
core::Status formError(const Options& options, std::optional<core::PeriodDates>& period) {
  if (options.archive.empty()) {
    if (options.rmdPath.empty()) return usageProblem("one RMD file or --archive DIR is needed");
    for (const std::string* frame : {&options.from, &options.to}) {
      if (!frame->empty() && !viewer::parseFrameReference(*frame)) {
        return usageProblem("--from and --to are frame numbers from 0 or times YYYY-MM-DDThh:mm");
      }
    }
    return {};
  }
  period = periodOf(options.from, options.to);
  return period ? core::Status() : usageProblem("with --archive, --from and --to are days written YYYY-MM-DD");
}

int runAreal(const CLI::App& command, const Options& options) {
  std::optional<core::PeriodDates> period;
  if (core::Status form = formError(options, period); !form) return usageError(command, form);
  if (core::Status distinct = checkOutputs(options, {options.rmdPath, options.polygons}); !distinct) {
    return refused(distinct);
  }
  std::vector<gis::Shape> shapes;
  const std::optional<std::string> nameField =
      options.nameField.empty() ? std::nullopt : std::optional<std::string>(options.nameField);
  if (core::Status read = gis::readPolygonFile(options.polygons, nameField, shapes); !read) return refused(read);
  gis::ArealComputation computation;
  const core::Status computed =
      period ? fromArchive(options, *period, shapes, computation) : fromRmdFile(options, shapes, computation);
  if (!computed) return refused(computed);

  const std::filesystem::path out = outputPath(options);
  const std::vector<int> hours = options.durations.empty() ? std::vector<int>{} : *hoursOf(options.durations);
  if (core::Status written = gis::writeArealCsv(out, computation.table(), hours); !written) {
    return refused(written);
  }
  std::cout << out.string() << "\n";
  if (!hours.empty()) std::cout << gis::durationCsvPath(out).string() << "\n";
  return kExitOk;
}

}  // namespace

CommandRun defineAreal(CLI::App& command) {
  const auto options = std::make_shared<Options>();
  CLI::Option* file = command.add_option("file", options->rmdPath, "preprocessed RMD file")->type_name("FILE.RMD");
  command.add_option("--archive", options->archive, "archive folder, instead of an RMD file")
      ->type_name("DIR")
      ->excludes(file);
  command.add_option("--from", options->from, "first frame (RMD file) or first day (--archive, YYYY-MM-DD)")
      ->type_name("FRAME|DAY");
  command.add_option("--to", options->to, "last frame (RMD file) or last day (--archive, YYYY-MM-DD)")
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
  command.add_option("--out", options->out, "the areal CSV file (default: beside the RMD file)")->type_name("PATH");
  return [&command, options] { return runAreal(command, *options); };
}

}  // namespace ombrix::tool
