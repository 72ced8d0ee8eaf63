// ombrix-tool series FILE.RMD (--lat LAT --lon LON | --id N): the rain rate of one cell in
// every frame, read straight from the file; or series --grib2 PATH... --from DAY --to DAY
// --lat LAT --lon LON [--utc], straight from the agency's files.
#include <charconv>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/tool/archive_selection.h"
#include "app/tool/command_table.h"
#include "app/tool/long_run.h"
#include "core/distinct_output.h"
#include "core/frame_slots.h"
#include "core/number_text.h"
#include "core/rmd_dataset.h"
#include "gis/areal_csv.h"
#include "gis/cell_weights.h"
#include "gis/point_series.h"

namespace ombrix::tool {
namespace {

struct Options {
  std::string rmdPath;
  std::string lat;
  std::string lon;
  std::optional<std::int64_t> id;
  std::string out;
  Grib2Options grib2;
  std::string from;
  std::string to;
};

std::optional<double> degrees(const std::string& text) {
  const auto micro = core::parseDegrees(text);
  if (!micro) return std::nullopt;
  return *micro / 1'000'000.0;
}

// The cell of --id, or the one holding --lat/--lon; nothing when it is not in the grid.
std::optional<std::size_t> chosenCell(const Options& options, const core::CellGrid& grid) {
  if (options.id) {
    if (*options.id >= static_cast<std::int64_t>(grid.rows) * grid.columns) return std::nullopt;
    return static_cast<std::size_t>(*options.id);
  }
  return gis::cellContaining(grid, *degrees(options.lon), *degrees(options.lat));
}

// The --grib2 form: the cell holding --lat/--lon over the days --from to --to, written in the
// current folder by default.
int runSeriesGrib2(const CLI::App& command, Options& options) {
  const std::optional<core::PeriodDates> period = periodOf(options.from, options.to);
  if (!options.rmdPath.empty() || options.id || options.lat.empty() || !period) {
    return usageError(command, usageProblem("with --grib2, give --lat, --lon and the days --from and --to, written YYYY-MM-DD"));
  }
  gis::PointSeries series;
  const core::Status computed = runLong("series", [&](const core::OperationCallbacks& callbacks) {
    return gis::pointSeries(grib2Request(*period, {}, {}, options.grib2), *degrees(options.lon),
                            *degrees(options.lat), series, callbacks);
  });
  printGrib2Summary(options.grib2);
  if (!computed) return refused(computed);
  const std::filesystem::path out =
      !options.out.empty() ? std::filesystem::path(options.out)
                           : std::filesystem::path(options.from + "_" + options.to + "-series-" +
                                                   std::to_string(series.cell) + ".csv");
  if (core::Status written = gis::writeSeriesCsv(out, series.times, series.values); !written) return refused(written);
  std::cout << out.string() << "\n";
  return kExitOk;
}

int runSeries(const CLI::App& command, Options& options) {
  if (!options.grib2.inputs.empty()) return runSeriesGrib2(command, options);
  if (options.rmdPath.empty()) return usageError(command, usageProblem("FILE.RMD or --grib2 PATH... is needed"));
  if (!options.id && (options.lat.empty() || options.lon.empty())) {
    return usageError(command, usageProblem("give --lat and --lon, or --id"));
  }
  const std::filesystem::path path = options.rmdPath;
  // Only the chosen cell of each frame is read.
  core::RmdDataset file;
  if (core::Status opened = file.open(path); !opened) return refused(opened);
  const auto cell = chosenCell(options, file.grid());
  if (!cell) return refused({options.id ? core::Problem::CellIdOutOfRange : core::Problem::PointOutsideGrid});

  std::vector<std::int16_t> values;
  if (core::Status read = file.readCellSeries(*cell, values); !read) return refused(read);
  const std::filesystem::path out =
      !options.out.empty() ? std::filesystem::path(options.out)
                           : path.parent_path() / (path.stem().string() + "-series-" + std::to_string(*cell) + ".csv");
  if (core::Status distinct = core::checkOutputNotInput(out, {path}); !distinct) return refused(distinct);
  const auto times = core::frameTimes(file.header(), file.index());
  if (core::Status written = gis::writeSeriesCsv(out, times, values); !written) return refused(written);
  std::cout << out.string() << "\n";
  return kExitOk;
}

}  // namespace

CommandRun defineSeries(CLI::App& command) {
  const auto options = std::make_shared<Options>();
  const CLI::Validator inDegrees(
      [](std::string& text) { return degrees(text) ? std::string() : std::string("degrees are a decimal number"); },
      "", "degrees");
  addRmdFileArgument(command, options->rmdPath)->required(false);
  CLI::Option* lat = command.add_option("--lat", options->lat, "latitude of the point")->type_name("DEG")->check(inDegrees);
  CLI::Option* lon = command.add_option("--lon", options->lon, "longitude of the point")->type_name("DEG")->check(inDegrees);
  lat->needs(lon);
  lon->needs(lat);
  command.add_option("--id", options->id, "cell ID (row x columns + column)")
      ->type_name("N")
      ->check(CLI::Validator(
          [](std::string& text) {
            std::int64_t id = -1;
            const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), id);
            const bool whole = error == std::errc() && end == text.data() + text.size() && id >= 0;
            return whole ? std::string() : std::string("a cell ID is a whole number from 0");
          },
          "", "cell ID"))
      ->excludes(lat)
      ->excludes(lon);
  command.add_option("--out", options->out, "the CSV file (default: beside the RMD file)")->type_name("PATH");
  addGrib2Options(command, options->grib2);
  command.add_option("--from", options->from, "with --grib2: the first day")->type_name("YYYY-MM-DD");
  command.add_option("--to", options->to, "with --grib2: the last day")->type_name("YYYY-MM-DD");
  return [&command, options] { return runSeries(command, *options); };
}

}  // namespace ombrix::tool
