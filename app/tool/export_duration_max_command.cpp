// ombrix-tool export-duration-max FILE.RMD --hours H: each cell's largest H-hour depth over the
// file, as a GeoTIFF map in mm.
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "app/tool/command_table.h"
#include "app/tool/export_session.h"
#include "core/distinct_output.h"
#include "export/current_display_export.h"
#include "gis/duration_map.h"
#include "gis/duration_window.h"
#include "gis/geotiff_map.h"

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
    if (core::Status computed = gis::durationMaximumMap(file, 0, file.frameCount() - 1, options->hours, map);
        !computed) {
      return refused(computed);
    }
    gis::applyDurationMap(std::move(map), conditions);
    std::filesystem::path out = options->out;
    if (out.empty()) out = exports::currentDisplayPath(conditions.shownMap(), conditions.areaName).replace_extension(".tif");
    if (core::Status distinct = core::checkOutputNotInput(out, {options->rmdPath}); !distinct) return refused(distinct);
    const std::vector<float> values = gis::storedToBandValues(conditions.rainGrid);
    const gis::FloatGrid grid{file.grid().columns, file.grid().rows, values};
    if (core::Status written = gis::writeGeoTiffMap(out, grid, gis::csvCellCentres(file.grid())); !written) {
      return refused(written);
    }
    std::cout << out.string() << "\n";
    return kExitOk;
  };
}

}  // namespace ombrix::tool
