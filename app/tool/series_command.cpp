// ombrix-tool series FILE.RMD (--lat LAT --lon LON | --id N): the rain rate of one cell in
// every frame, read straight from the file.
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "app/tool/export_session.h"
#include "app/tool/tool_command.h"
#include "core/frame_slots.h"
#include "core/messages.h"
#include "core/number_text.h"
#include "core/rmd_file.h"
#include "gis/areal_csv.h"
#include "gis/areal_run.h"

namespace ombrix::tool {
namespace {

constexpr const char* kCommand = "series";

std::optional<double> degreesOption(const ToolArguments& arguments, const std::string& name) {
  const auto text = arguments.value(name);
  const auto micro = text ? core::parseDegrees(*text) : std::nullopt;
  if (!micro) return std::nullopt;
  return *micro / 1'000'000.0;
}

// The cell of --id, or the one holding --lat/--lon; a refusal when it is not in the grid.
std::optional<std::size_t> chosenCell(const ToolArguments& arguments, const core::AnalysisConditions& conditions) {
  const gis::CellGrid grid = gis::cellGridOf(conditions);
  if (const auto id = wholeNumberOption(arguments, "--id")) {
    if (*id >= static_cast<std::int64_t>(grid.rows) * grid.columns) return std::nullopt;
    return static_cast<std::size_t>(*id);
  }
  return gis::cellContaining(grid, *degreesOption(arguments, "--lon"), *degreesOption(arguments, "--lat"));
}

int runSeries(const std::vector<std::string>& words) {
  ToolArguments arguments;
  if (!arguments.parse(words, {"--lat", "--lon", "--id", "--out"}, {})) return usageError(kCommand, arguments.error());
  if (arguments.positional().size() != 1) return usageError(kCommand, "one RMD file is needed");
  const bool byId = arguments.value("--id").has_value();
  const bool byPoint = degreesOption(arguments, "--lat") && degreesOption(arguments, "--lon");
  if (byId == byPoint || (byId && !wholeNumberOption(arguments, "--id"))) {
    return usageError(kCommand, "give --lat and --lon in degrees, or --id with a cell number");
  }
  const std::filesystem::path path = arguments.positional().front();
  core::AnalysisConditions conditions;
  if (core::Status opened = openForExport(path.string(), conditions); !opened) return refused(opened);
  const auto cell = chosenCell(arguments, conditions);
  if (!cell) return refused(byId ? messages::kCellIdOutOfRange : messages::kPointOutsideGrid);

  core::RmdContents contents;
  std::vector<std::int16_t> values;
  if (core::Status read = core::readRmdFile(path, contents); !read) return refused(read);
  if (core::Status read = core::readRmdCellSeries(path, contents, *cell, values); !read) return refused(read);
  const std::filesystem::path out =
      arguments.value("--out") ? std::filesystem::path(*arguments.value("--out"))
                               : path.parent_path() / (path.stem().string() + "-series-" + std::to_string(*cell) + ".csv");
  const auto times = core::frameTimes(contents.header, contents.index);
  if (core::Status written = gis::writeSeriesCsv(out, times, values); !written) return refused(written);
  std::cout << out.string() << "\n";
  return kExitOk;
}

const ToolCommandRegistration registration{
    {kCommand, "series FILE.RMD (--lat LAT --lon LON | --id N) [--out PATH]    (rain rate of one cell, every frame)",
     runSeries}};

}  // namespace
}  // namespace ombrix::tool
