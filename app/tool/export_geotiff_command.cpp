// ombrix-tool export-geotiff FILE.RMD (--frame F | --sum S:E | --max S:E) [--out PATH]: the map
// the viewer would show as a Cloud Optimized GeoTIFF, named like the current-display CSV.
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "app/tool/export_session.h"
#include "core/number_text.h"
#include "gis/shown_map_geotiff.h"
#include "viewer/frame_loading.h"

namespace ombrix::tool {
namespace {

constexpr const char* kCommand = "export-geotiff";

struct FrameRange {
  int first = 0;
  int last = 0;
};

// "S:E" with two frame numbers.
std::optional<FrameRange> parseRange(const std::string& text) {
  const std::size_t colon = text.find(':');
  if (colon == std::string::npos) return std::nullopt;
  const auto first = core::parseWholeNumber(text.substr(0, colon));
  const auto last = core::parseWholeNumber(text.substr(colon + 1));
  if (!first || !last) return std::nullopt;
  return FrameRange{*first, *last};
}

// Puts the chosen map into the conditions as the viewer would show it.
core::Status showChosenMap(const ToolArguments& arguments, core::AnalysisConditions& conditions) {
  if (const auto frame = wholeNumberOption(arguments, "--frame")) {
    std::vector<std::int16_t> frameGrid;
    return viewer::showFrame(conditions, *frame, frameGrid);
  }
  if (const auto sum = arguments.value("--sum")) {
    const FrameRange range = *parseRange(*sum);
    return showFold(conditions, range.first, range.last, foldAccumulation, kSumSuffix);
  }
  const FrameRange range = *parseRange(*arguments.value("--max"));
  return showFold(conditions, range.first, range.last, foldMaximum, kMaxSuffix);
}

// The usage error of the map options, empty when exactly one of them is given well.
std::string mapOptionError(const ToolArguments& arguments) {
  const int given =
      (arguments.value("--frame") ? 1 : 0) + (arguments.value("--sum") ? 1 : 0) + (arguments.value("--max") ? 1 : 0);
  if (given != 1) return "one of --frame F, --sum S:E and --max S:E is needed";
  if (arguments.value("--frame") && !wholeNumberOption(arguments, "--frame")) return "--frame needs a frame number";
  for (const char* name : {"--sum", "--max"}) {
    if (const auto range = arguments.value(name); range && !parseRange(*range)) {
      return std::string(name) + " needs two frame numbers S:E";
    }
  }
  return {};
}

int runExportGeoTiff(const std::vector<std::string>& words) {
  ToolArguments arguments;
  if (!arguments.parse(words, {"--frame", "--sum", "--max", "--out"}, {})) {
    return usageError(kCommand, arguments.error());
  }
  if (arguments.positional().size() != 1) return usageError(kCommand, "one RMD file is needed");
  if (const std::string error = mapOptionError(arguments); !error.empty()) return usageError(kCommand, error);
  core::AnalysisConditions conditions;
  if (core::Status opened = openForExport(arguments.positional().front(), conditions); !opened) return refused(opened);
  if (core::Status shown = showChosenMap(arguments, conditions); !shown) return refused(shown);
  const std::filesystem::path target =
      arguments.value("--out").value_or(gis::shownMapGeoTiffPath(conditions, conditions.areaName).string());
  const exports::CurrentDisplayResult result = gis::exportShownMapGeoTiff(conditions, target);
  if (result.outcome != exports::CurrentDisplayOutcome::Written) return refused(result.status);
  std::cout << result.path.string() << "\n";
  return kExitOk;
}

const ToolCommandRegistration registration{
    {kCommand,
     "export-geotiff FILE.RMD (--frame F | --sum S:E | --max S:E) [--out PATH]    (Cloud Optimized GeoTIFF of "
     "the map)",
     runExportGeoTiff}};

}  // namespace
}  // namespace ombrix::tool
