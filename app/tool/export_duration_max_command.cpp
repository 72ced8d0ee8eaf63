// ombrix-tool export-duration-max FILE.RMD --hours H: each cell's largest H-hour depth over the
// file, as a GeoTIFF map in mm.
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "app/tool/export_session.h"
#include "app/tool/tool_command.h"
#include "core/messages.h"
#include "export/current_display_export.h"
#include "gis/duration_map.h"
#include "gis/geotiff_map.h"

namespace ombrix::tool {
namespace {

constexpr const char* kCommand = "export-duration-max";

int runExportDurationMax(const std::vector<std::string>& words) {
  ToolArguments arguments;
  if (!arguments.parse(words, {"--hours", "--out"}, {})) return usageError(kCommand, arguments.error());
  if (arguments.positional().size() != 1) return usageError(kCommand, "one RMD file is needed");
  const auto hours = wholeNumberOption(arguments, "--hours");
  if (!hours || *hours < 1 || *hours > 32767) return usageError(kCommand, "--hours needs a whole number of hours");
  core::AnalysisConditions conditions;
  if (core::Status opened = openForExport(arguments.positional().front(), conditions); !opened) return refused(opened);
  gis::DurationMap map;
  if (core::Status computed = gis::durationMaximumMap(conditions, 0, conditions.frameCount - 1, *hours, map);
      !computed) {
    return refused(computed);
  }
  gis::applyDurationMap(std::move(map), conditions);
  std::filesystem::path out = arguments.value("--out") ? std::filesystem::path(*arguments.value("--out"))
                                                       : exports::currentDisplayPath(conditions, conditions.areaName);
  if (!arguments.value("--out")) out.replace_extension(".tif");
  const std::vector<float> values = gis::storedToBandValues(conditions.rainGrid);
  const gis::FloatGrid grid{conditions.gridCols, conditions.gridRows, values};
  const gis::MapGeoreference georeference = gis::csvCellCentres(conditions.fileWestLon, conditions.fileNorthLat,
                                                                 conditions.cellWidth, conditions.cellHeight);
  if (core::Status written = gis::writeGeoTiffMap(out, grid, georeference); !written) return refused(written);
  std::cout << out.string() << "\n";
  return kExitOk;
}

const ToolCommandRegistration registration{
    {kCommand, "export-duration-max FILE.RMD --hours H [--out PATH]    (GeoTIFF of each cell's largest H-hour depth)",
     runExportDurationMax}};

}  // namespace
}  // namespace ombrix::tool
