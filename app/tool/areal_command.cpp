// ombrix-tool areal: areal rainfall over the polygons of a vector file, frame by frame, from an
// RMD file or straight from the archive, with the largest depths over given durations.
#include <charconv>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "app/tool/archive_options.h"
#include "app/tool/export_session.h"
#include "app/tool/tool_command.h"
#include "core/archive_calendar.h"
#include "gis/areal_csv.h"
#include "gis/areal_run.h"
#include "gis/polygon_file.h"

namespace ombrix::tool {
namespace {

constexpr const char* kCommand = "areal";

// "1,3,6,24": whole numbers of hours, each at least 1.
std::optional<std::vector<int>> parseHours(std::string_view text) {
  std::vector<int> hours;
  while (true) {
    int value = 0;
    const auto [next, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || value < 1 || value > 32767) return std::nullopt;
    hours.push_back(value);
    text.remove_prefix(static_cast<std::size_t>(next - text.data()));
    if (text.empty()) return hours;
    if (text.front() != ',') return std::nullopt;
    text.remove_prefix(1);
  }
}

core::Status fromRmdFile(const ToolArguments& arguments, gis::ArealComputation& computation,
                         const std::vector<gis::Shape>& shapes, std::string& usage) {
  core::AnalysisConditions conditions;
  if (core::Status opened = openForExport(arguments.positional().front(), conditions); !opened) return opened;
  const auto first = arguments.value("--from") ? wholeNumberOption(arguments, "--from") : 0;
  const auto last = arguments.value("--to") ? wholeNumberOption(arguments, "--to") : conditions.frameCount - 1;
  if (!first || !last) {
    usage = "--from and --to need frame numbers";
    return core::Status::success();
  }
  TerminalProgress bar(kCommand);
  core::PreprocessCallbacks callbacks;
  callbacks.progress = [&bar](int done, int count) { bar.update(static_cast<double>(done) / count); };
  return gis::arealOverOpenFile(conditions, shapes, *first, *last, computation, callbacks);
}

core::Status fromArchive(const ToolArguments& arguments, gis::ArealComputation& computation,
                         const std::vector<gis::Shape>& shapes, std::string& usage) {
  const auto period = periodOption(arguments);
  if (!period) {
    usage = "--from and --to are dates written YYYY-MM-DD";
    return core::Status::success();
  }
  core::AnalysisConditions conditions;
  conditions.archiveDir = archiveDirectory(*arguments.value("--archive"));
  const core::PeriodStatus checked = core::checkPeriod(*period, conditions);
  if (checked != core::PeriodStatus::Ok) {
    return core::Status::failure(std::string(core::periodStatusMessage(checked)));
  }
  TerminalProgress bar(kCommand);
  core::PreprocessCallbacks callbacks;
  callbacks.progress = [&bar](int begun, int count) { bar.update(static_cast<double>(begun) / count); };
  return gis::arealOverArchive(conditions, shapes, computation, callbacks);
}

// Beside the RMD file, or in the archive directory named after the period.
std::filesystem::path defaultOutput(const ToolArguments& arguments) {
  if (!arguments.value("--archive")) return gis::arealCsvPath(arguments.positional().front());
  std::string name = *arguments.value("--from") + "_" + *arguments.value("--to") + ".RMD";
  return gis::arealCsvPath(std::filesystem::path(archiveDirectory(*arguments.value("--archive"))) / name);
}

int runAreal(const std::vector<std::string>& words) {
  ToolArguments arguments;
  if (!arguments.parse(words, {"--polygons", "--name-field", "--from", "--to", "--durations", "--out", "--archive"},
                       {})) {
    return usageError(kCommand, arguments.error());
  }
  const bool archive = arguments.value("--archive").has_value();
  if (arguments.positional().size() != (archive ? 0U : 1U)) {
    return usageError(kCommand, archive ? "no RMD file with --archive" : "one RMD file or --archive is needed");
  }
  const auto polygons = arguments.value("--polygons");
  if (!polygons) return usageError(kCommand, "--polygons is required");
  std::optional<std::vector<int>> hours;
  if (const auto text = arguments.value("--durations"); text && !(hours = parseHours(*text))) {
    return usageError(kCommand, "--durations is a list of hours such as 1,3,6,24");
  }

  std::vector<gis::Shape> shapes;
  if (core::Status read = gis::readPolygonFile(*polygons, arguments.value("--name-field"), shapes); !read) {
    return refused(read);
  }
  gis::ArealComputation computation;
  std::string usage;
  const core::Status computed = archive ? fromArchive(arguments, computation, shapes, usage)
                                        : fromRmdFile(arguments, computation, shapes, usage);
  if (!usage.empty()) return usageError(kCommand, usage);
  if (!computed) return refused(computed);

  const std::filesystem::path out =
      arguments.value("--out") ? std::filesystem::path(*arguments.value("--out")) : defaultOutput(arguments);
  if (core::Status written = gis::writeArealCsv(out, computation.table()); !written) return refused(written);
  std::cout << out.string() << "\n";
  if (hours) {
    const std::filesystem::path durations = gis::durationCsvPath(out);
    if (core::Status written = gis::writeDurationCsv(durations, computation.table(), *hours); !written) {
      return refused(written);
    }
    std::cout << durations.string() << "\n";
  }
  return kExitOk;
}

const ToolCommandRegistration registration{
    {kCommand,
     "areal (FILE.RMD [--from F] [--to F] | --archive DIR --from YYYY-MM-DD --to YYYY-MM-DD) --polygons FILE "
     "[--name-field FIELD] [--durations 1,3,6,24] [--out PATH]    (areal mean rainfall of each polygon)",
     runAreal}};

}  // namespace
}  // namespace ombrix::tool
