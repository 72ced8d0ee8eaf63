#include "app/tool/archive_selection.h"

#include <array>
#include <charconv>
#include <filesystem>
#include <iostream>
#include <optional>

#include "core/messages.h"
#include "core/number_text.h"
#include "core/preprocess_run.h"
#include "core/region_table.h"

namespace ombrix::tool {
namespace {

constexpr const char* kDateError = "dates are written YYYY-MM-DD";
constexpr const char* kAreaError = "--area is NORTH,WEST,SOUTH,EAST in degrees";

struct Date {
  int year = 0;
  int month = 0;
  int day = 0;
};

// "YYYY-MM-DD" with a month 1-12 and a day 1-31; whether the day exists is left to the
// archive lookup, as in the period dialog.
std::optional<Date> parseDate(const std::string& text) {
  Date date;
  const char* p = text.data();
  const char* end = p + text.size();
  const auto field = [&](int& value, std::size_t digits, bool last) {
    const auto [next, error] = std::from_chars(p, end, value);
    if (error != std::errc() || static_cast<std::size_t>(next - p) != digits) return false;
    p = next;
    if (last) return p == end;
    if (p == end || *p != '-') return false;
    ++p;
    return true;
  };
  if (!field(date.year, 4, false) || !field(date.month, 2, false) || !field(date.day, 2, true)) return std::nullopt;
  if (date.month < 1 || date.month > 12 || date.day < 1 || date.day > 31) return std::nullopt;
  return date;
}

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

}  // namespace

void addArchiveOptions(CLI::App& command, ArchiveOptions& options) {
  command.add_option("--archive", options.archive, "archive folder")->type_name("DIR");
  command.add_option("--region", options.region, "region name or two-letter code")
      ->type_name("NAME")
      ->check(CLI::Validator(
          [](std::string& text) { return regionIndex(text) ? std::string() : unknownRegion(text); }, "", "region"));
  command.add_option("--area", options.area, "area in degrees, needed for the region My")
      ->type_name("NORTH,WEST,SOUTH,EAST")
      ->check(validator(parseArea, "AREA", kAreaError));
}

std::string archiveDirectory(const std::string& text) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(text, error);
  std::string dir = (error ? std::filesystem::path(text) : absolute).lexically_normal().string();
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  return dir;
}

std::optional<core::PeriodDates> periodOf(const std::string& from, const std::string& to) {
  const std::optional<Date> start = parseDate(from);
  const std::optional<Date> end = parseDate(to);
  if (!start || !end) return std::nullopt;
  return core::PeriodDates{{start->year, end->year}, {start->month, end->month}, {start->day, end->day}};
}

void addPeriodOptions(CLI::App& command, ArchiveOptions& options) {
  const CLI::Validator date = validator(parseDate, "YYYY-MM-DD", kDateError);
  command.add_option("--from", options.from, "first day")->type_name("YYYY-MM-DD")->check(date);
  command.add_option("--to", options.to, "last day")->type_name("YYYY-MM-DD")->check(date);
}

core::Status readArchiveSelection(const ArchiveOptions& options, core::ArchiveSelection& selection) {
  if (options.region.empty() || options.from.empty() || options.to.empty()) {
    return usageProblem("--archive, --region, --from and --to are required");
  }
  const std::optional<int> index = regionIndex(options.region);
  if (!index) return usageProblem(unknownRegion(options.region));
  const std::optional<core::PeriodDates> period = periodOf(options.from, options.to);
  if (!period) return usageProblem(kDateError);
  std::optional<core::AreaBounds> bounds =
      options.area.empty() ? core::regionPreset(*index) : parseArea(options.area);
  if (!bounds) {
    return usageProblem(options.area.empty() ? "the region " + options.region + " needs --area" : kAreaError);
  }

  selection.archiveDir = options.archive.empty() ? std::string() : archiveDirectory(options.archive);
  selection.areaName = std::string(core::regionTable()[static_cast<std::size_t>(*index)].name);
  selection.area = *bounds;
  selection.period = {*period, {}};
  return {};
}

bool catalogueSelection(core::ArchiveSelection& selection) {
  const core::PeriodDates dates = selection.period.dates;
  if (const core::Status period = core::checkPeriod(dates, selection.archiveDir, selection.period); !period) {
    refused(period);
    return false;
  }
  return core::readyToPreprocess(selection, report);
}

CLI::Option* addGrib2Options(CLI::App& command, Grib2Options& options) {
  command.add_flag("--utc", options.utc, "with --grib2: days in UTC instead of JST");
  return command.add_option("--grib2", options.inputs, "the agency's GRIB2 files and folders of them")
      ->type_name("PATH...")
      ->expected(1, -1);
}

core::FrameRequest grib2Request(const core::PeriodDates& period, const core::AreaBounds& area,
                                const std::string& areaName, Grib2Options& options) {
  core::FrameRequest request;
  request.period = period;
  request.area = area;
  request.areaName = areaName;
  request.grib2Inputs.assign(options.inputs.begin(), options.inputs.end());
  request.utc = options.utc;
  request.skipped = [&options](const core::Status& problem) {
    report(problem);
    ++options.skipped;
  };
  return request;
}

void printGrib2Summary(const Grib2Options& options) {
  if (options.skipped > 0) std::cerr << messages::kImportSummaryRefused << options.skipped << "\n";
}

}  // namespace ombrix::tool
