// ombrix-tool preprocess: what a user does with the archive-directory, area and period dialogs
// followed by the preprocessing command, in one call.
#include <array>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "app/tool/archive_options.h"
#include "app/tool/tool_command.h"
#include "core/analysis_conditions.h"
#include "core/archive_calendar.h"
#include "core/messages.h"
#include "core/number_text.h"
#include "core/preprocess_run.h"
#include "core/region_table.h"

namespace ombrix::tool {
namespace {

constexpr const char* kCommand = "preprocess";

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

struct Request {
  core::AnalysisConditions conditions;
  core::PeriodDates period;
  bool force = false;
};

// Fills the request from the options; an empty text means success, anything else is the
// usage error to report.
std::string readRequest(const ToolArguments& arguments, Request& request) {
  const auto archive = arguments.value("--archive");
  const auto region = arguments.value("--region");
  const auto from = arguments.value("--from");
  const auto to = arguments.value("--to");
  if (!archive || !region || !from || !to) return "--archive, --region, --from and --to are required";
  if (!arguments.positional().empty()) return "unexpected argument " + arguments.positional().front();
  const auto index = regionIndex(*region);
  if (!index) return "unknown region " + *region;
  const auto start = parseDate(*from);
  const auto end = parseDate(*to);
  if (!start || !end) return "dates are written YYYY-MM-DD";

  std::optional<core::AreaBounds> bounds = core::regionPreset(*index);
  if (const auto area = arguments.value("--area")) {
    bounds = parseArea(*area);
    if (!bounds) return "--area is NORTH,WEST,SOUTH,EAST in degrees";
  }
  if (!bounds) return "the region " + *region + " needs --area";

  core::AnalysisConditions& c = request.conditions;
  c.archiveDir = archive->empty() ? std::string() : archiveDirectory(*archive);
  c.areaName = std::string(core::regionTable()[static_cast<std::size_t>(*index)].name);
  c.areaWestLon = bounds->westLon;
  c.areaNorthLat = bounds->northLat;
  c.areaEastLon = bounds->eastLon;
  c.areaSouthLat = bounds->southLat;
  request.period = {{start->year, end->year}, {start->month, end->month}, {start->day, end->day}};
  request.force = arguments.flag("--force");
  return {};
}

int runPreprocess(const std::vector<std::string>& words) {
  ToolArguments arguments;
  if (!arguments.parse(words, {"--archive", "--region", "--from", "--to", "--area"}, {"--force"})) {
    return usageError(kCommand, arguments.error());
  }
  Request request;
  if (const std::string error = readRequest(arguments, request); !error.empty()) return usageError(kCommand, error);
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
    TerminalProgress bar(kCommand);
    core::PreprocessCallbacks callbacks;
    callbacks.progress = [&bar](int begun, int count) { bar.update(static_cast<double>(begun) / count); };
    result = core::runPreprocessing(c, c.outputRmdPath, callbacks);
  }
  if (!result.status) return refused(result.status);
  std::cerr << messages::kPreprocessingDone << "\n";
  std::cout << c.outputRmdPath << "\n";
  return kExitOk;
}

const ToolCommandRegistration registration{
    {kCommand,
     "preprocess --archive DIR --region NAME --from YYYY-MM-DD --to YYYY-MM-DD [--area NORTH,WEST,SOUTH,EAST] "
     "[--force]",
     runPreprocess}};

}  // namespace
}  // namespace ombrix::tool
