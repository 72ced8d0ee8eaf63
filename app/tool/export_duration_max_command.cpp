// ombrix-tool export-duration-max FILE.RMD --hours H: each cell's largest H-hour depth over the
// file, as a GeoTIFF map in mm.
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include "app/tool/command_table.h"
#include "app/tool/export_session.h"
#include "app/tool/long_run.h"
#include "core/distinct_output.h"
#include "gis/duration_map.h"
#include "gis/duration_window.h"
#include "gis/shown_map_geotiff.h"

namespace ombrix::tool {

CommandRun defineExportDurationMax(CLI::App& command) {
  struct Options {
    std::string rmdPath;
    int hours = 0;
    std::string out;
  };
  const auto options = std::make_shared<Options>();
  addRmdFileArgument(command, options->rmdPath);
  command.add_option("--hours", options->hours, "duration H in hours")
      ->type_name("H")
      ->required()
      ->check(CLI::Range(gis::kMinDurationHours, gis::kMaxDurationHours));
  command.add_option("--out", options->out, "the GeoTIFF file (default: the current-display name, .tif)")
      ->type_name("PATH");
  return [options] {
    core::AnalysisConditions conditions;
    if (core::Status opened = openForExport(options->rmdPath, conditions); !opened) return refused(opened);
    core::RmdDataset file = conditions.openFileDataset();
    gis::DurationMap map;
    const core::Status computed =
        runLong("export-duration-max", [&](const core::OperationCallbacks& callbacks) {
          return gis::durationMaximumMap(file, 0, file.frameCount() - 1, options->hours, map, callbacks);
        });
    if (!computed) return refused(computed);
    gis::applyDurationMap(std::move(map), conditions);
    const std::filesystem::path out =
        options->out.empty() ? gis::shownMapGeoTiffPath(conditions, conditions.areaName) : std::filesystem::path(options->out);
    if (core::Status distinct = core::checkOutputNotInput(out, {options->rmdPath}); !distinct) return refused(distinct);
    if (core::Status written = gis::exportShownMapGeoTiff(conditions, out).status; !written) return refused(written);
    std::cout << out.string() << "\n";
    return kExitOk;
  };
}

}  // namespace ombrix::tool
