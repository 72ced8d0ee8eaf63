// ombrix-tool export-geotiff FILE.RMD (--frame F | --sum S:E | --max S:E) [--out PATH]: the map
// the viewer would show as a Cloud Optimized GeoTIFF, named like the current-display CSV.
#include <iostream>
#include <memory>
#include <string>

#include "app/tool/command_table.h"
#include "app/tool/export_session.h"
#include "app/tool/map_choice.h"
#include "core/distinct_output.h"
#include "gis/shown_map_geotiff.h"

namespace ombrix::tool {
namespace {

struct Options {
  std::string rmdPath;
  MapChoiceOptions map;
  std::string out;
};

int runExportGeoTiff(const CLI::App& command, const Options& options) {
  core::Status asked;
  const FrameRangeText frames = framesAsked(command, options.map, asked);
  if (!asked) return usageError(command, asked);
  ExportSession session;
  if (core::Status opened = openForExport(options.rmdPath, session); !opened) return refused(opened);
  if (core::Status shown = showChosenMap(command, frames, session); !shown) return refused(shown);
  const core::ShownMap map = session.shownMap();
  const std::filesystem::path target =
      options.out.empty() ? gis::shownMapGeoTiffPath(map, session.areaName) : std::filesystem::path(options.out);
  if (core::Status distinct = core::checkOutputNotInput(target, {options.rmdPath}); !distinct) return refused(distinct);
  const exports::CurrentDisplayResult result = gis::exportShownMapGeoTiff(map, session.file, target);
  if (!result.status) return refused(result.status);
  std::cout << result.path.string() << "\n";
  return kExitOk;
}

}  // namespace

CommandRun defineExportGeoTiff(CLI::App& command) {
  const auto options = std::make_shared<Options>();
  addRmdFileArgument(command, options->rmdPath);
  addMapChoiceOptions(command, options->map);
  command.add_option("--out", options->out, "GeoTIFF file to write (default: the current-display CSV's name)")
      ->type_name("PATH");
  return [&command, options] { return runExportGeoTiff(command, *options); };
}

}  // namespace ombrix::tool
