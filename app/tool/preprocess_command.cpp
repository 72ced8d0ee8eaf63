// ombrix-tool preprocess: what a user does with the archive-directory, area and period dialogs
// followed by the preprocessing command, in one call.
#include <array>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/tool/archive_options.h"
#include "app/tool/command_table.h"
#include "core/analysis_conditions.h"
#include "core/archive_calendar.h"
#include "core/messages.h"
#include "core/number_text.h"
#include "core/preprocess_run.h"
#include "core/region_table.h"

namespace ombrix::tool {
namespace {

// "NORTH,WEST,SOUTH,EAST" in degrees.
std::optional<core::AreaBounds> parseArea(std::string_view text) {
  std::array<std::int32_t, 4> values{};
  for (std::size_t i = 0; i < values.size(); ++i) {
    const std::size_t comma = text.find(',');
    const bool last = i + 1 == values.size();
    if (last != (comma == std::string_view::npos)) return std::nullopt;
    const auto value = core::parseDegrees(text.substr(0, comma));
    if (!value) return std::nullopt;
    values[i] = *value;
    if (!last) text.remove_prefix(comma + 1);
  }
  return core::AreaBounds{values[1], values[0], values[3], values[2]};
}

// The region row of a name or a two-letter code.
std::optional<int> regionIndex(const std::string& text) {
  const auto& table = core::regionTable();
  for (int i = 0; i < core::kRegionCount; ++i) {
    const core::Region& region = table[static_cast<std::size_t>(i)];
    if (text == region.name || text == region.code) return i;
  }
  return std::nullopt;
}

// Checks an option's text with parse, which gives nothing for a wrong text; error tells why.
template <typename Parse>
CLI::Validator validator(Parse parse, std::string name, std::string error) {
  return CLI::Validator(
      [parse, error](std::string& text) { return parse(text) ? std::string() : error; }, "", std::move(name));
}

// "unknown region X; the regions are NAME (CODE), ...".
std::string unknownRegion(const std::string& text) {
  std::string error = "unknown region " + text + "; the regions are";
  for (const core::Region& region : core::regionTable()) {
    error.append(" ").append(region.name).append(" (").append(region.code).append(")");
    if (&region != &core::regionTable().back()) error += ",";
  }
  return error;
}

struct Options {
  std::string archive;
  std::string region;
  std::string from;
  std::string to;
  std::string area;
  bool force = false;
};

struct Request {
  core::AnalysisConditions conditions;
  core::PeriodDates period;
  bool force = false;
};

// The request from options their validators accepted; an empty text means success, anything
// else is the usage error to report.
std::string readRequest(const Options& options, Request& request) {
  const int index = *regionIndex(options.region);
  const Date start = *parseDate(options.from);
  const Date end = *parseDate(options.to);
  std::optional<core::AreaBounds> bounds =
      options.area.empty() ? core::regionPreset(index) : parseArea(options.area);
  if (!bounds) return "the region " + options.region + " needs --area";

  core::AnalysisConditions& c = request.conditions;
  c.archiveDir = options.archive.empty() ? std::string() : archiveDirectory(options.archive);
  c.areaName = std::string(core::regionTable()[static_cast<std::size_t>(index)].name);
  c.areaWestLon = bounds->westLon;
  c.areaNorthLat = bounds->northLat;
  c.areaEastLon = bounds->eastLon;
  c.areaSouthLat = bounds->southLat;
  request.period = {{start.year, end.year}, {start.month, end.month}, {start.day, end.day}};
  request.force = options.force;
  return {};
}

int runPreprocess(const CLI::App& command, const Options& options) {
  Request request;
  if (const std::string error = readRequest(options, request); !error.empty()) return usageError(command, error);
  core::AnalysisConditions& c = request.conditions;

  // The dialogs' order: the period is checked and catalogued on its Set, then the
  // preprocessing command asks for missing conditions.
  const core::PeriodStatus period = core::checkPeriod(request.period, c);
  if (period != core::PeriodStatus::Ok) return refused(core::periodStatusMessage(period));
  const auto missing = core::missingConditions(c);
  for (const auto& condition : missing) std::cerr << condition.message << "\n";
  if (!missing.empty()) return kExitRefused;

  c.outputRmdPath = core::outputRmdPath(c);
  if (!request.force && std::filesystem::exists(c.outputRmdPath)) {
    return refused(std::string(messages::kOutputExists) + c.outputRmdPath);
  }
  core::PreprocessResult result;
  {
    TerminalProgress bar("preprocess");
    core::PreprocessCallbacks callbacks;
    callbacks.progress = [&bar](int begun, int count) { bar.update(static_cast<double>(begun) / count); };
    result = core::runPreprocessing(c, c.outputRmdPath, callbacks);
  }
  if (!result.status) return refused(result.status);
  std::cerr << messages::kPreprocessingDone << "\n";
  std::cout << c.outputRmdPath << "\n";
  return kExitOk;
}

}  // namespace

CommandRun definePreprocess(CLI::App& command) {
  const auto options = std::make_shared<Options>();
  const CLI::Validator date = validator(parseDate, "YYYY-MM-DD", "dates are written YYYY-MM-DD");
  command.add_option("--archive", options->archive, "archive folder")->type_name("DIR")->required();
  command.add_option("--region", options->region, "region name or two-letter code")
      ->type_name("NAME")
      ->required()
      ->check(CLI::Validator(
          [](std::string& text) { return regionIndex(text) ? std::string() : unknownRegion(text); }, "", "region"));
  command.add_option("--from", options->from, "first day")->type_name("YYYY-MM-DD")->required()->check(date);
  command.add_option("--to", options->to, "last day")->type_name("YYYY-MM-DD")->required()->check(date);
  command.add_option("--area", options->area, "area in degrees, needed for the region My")
      ->type_name("NORTH,WEST,SOUTH,EAST")
      ->check(validator(parseArea, "AREA", "--area is NORTH,WEST,SOUTH,EAST in degrees"));
  command.add_flag("--force", options->force, "replace an existing output file");
  return [&command, options] { return runPreprocess(command, *options); };
}

}  // namespace ombrix::tool
