// ombrix-tool export-netcdf: frames of an RMD file, or an area and period straight from the
// archive or the agency's GRIB2 files, as one NetCDF-CF file.
//   export-netcdf FILE.RMD [--from F] [--to F] [--out PATH] [--stamps-utc] [--force]
//   export-netcdf --archive DIR --region NAME --from YYYY-MM-DD --to YYYY-MM-DD [--area N,W,S,E]
//                 [--out PATH] [--stamps-utc] [--force]
//   export-netcdf --grib2 PATH... --region NAME --from YYYY-MM-DD --to YYYY-MM-DD [--area N,W,S,E]
//                 [--utc] [--out PATH] [--force]
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include "app/tool/archive_selection.h"
#include "app/tool/command_table.h"
#include "app/tool/frame_options.h"
#include "app/tool/long_run.h"
#include "core/preprocess_run.h"
#include "gis/netcdf_export.h"

namespace ombrix::tool {
namespace {

struct Options {
  std::string rmdPath;
  ArchiveOptions archive;
  FrameRangeText range;  // frames of the RMD file, or days of the archive
  std::string out;
  bool stampsUtc = false;
  bool force = false;
  Grib2Options grib2;
};

// The command as the history attribute records it.
std::string historyOf(const Options& o) {
  std::string text = "ombrix-tool export-netcdf";
  const auto add = [&text](const char* name, const std::string& value) {
    if (!value.empty()) text.append(" ").append(name).append(name[0] ? " " : "").append(value);
  };
  add("", o.rmdPath);
  add("--archive", o.archive.archive);
  for (const std::string& input : o.grib2.inputs) add(&input == &o.grib2.inputs.front() ? "--grib2" : "", input);
  add("--region", o.archive.region);
  add("--area", o.archive.area);
  add("--from", o.range.from);
  add("--to", o.range.to);
  add("--out", o.out);
  if (o.stampsUtc) text += " --stamps-utc";
  if (o.grib2.utc) text += " --utc";
  return text;
}

// Writes the source's frames to target and prints its path; returns the exit status.
int writeCube(const Options& options, core::FrameInput source, const std::filesystem::path& target) {
  gis::NetcdfRequest request;
  request.source = std::move(source);
  request.target = target;
  request.options.stampsUtc = options.stampsUtc || options.grib2.utc;
  request.options.history = historyOf(options);
  if (!options.force) request.targetExists = core::Problem::OutputExists;
  const core::Status written = runLong("export-netcdf", [&request](const core::OperationCallbacks& callbacks) {
    return gis::exportNetcdf(std::move(request), callbacks);
  });
  if (!written) return refused(written);
  std::cout << target.string() << "\n";
  return kExitOk;
}

// The selection of the --archive and --grib2 forms: success, or the usage error.
core::Status readSelection(const Options& options, core::ArchiveSelection& selection) {
  if (!options.rmdPath.empty()) return usageProblem("give either FILE.RMD, --archive or --grib2");
  if (!options.archive.archive.empty() && !options.grib2.inputs.empty()) {
    return usageProblem("give either --archive or --grib2");
  }
  ArchiveOptions archive = options.archive;
  archive.from = options.range.from;
  archive.to = options.range.to;
  return readArchiveSelection(archive, selection);
}

int runFromGrib2(const CLI::App& command, Options& options) {
  core::ArchiveSelection selection;
  if (core::Status read = readSelection(options, selection); !read) return usageError(command, read);
  selection.archiveDir = archiveDirectory(".");
  const std::filesystem::path target =
      options.out.empty() ? gis::netcdfPathBeside(core::outputRmdPath(selection)) : std::filesystem::path(options.out);
  core::FrameRequest request = grib2Request(selection.period.dates, selection.area, selection.areaName, options.grib2);
  const int exit = writeCube(options, std::move(request), target);
  printGrib2Summary(options.grib2);
  return exit;
}

int runFromArchive(const CLI::App& command, const Options& options) {
  core::ArchiveSelection selection;
  if (core::Status read = readSelection(options, selection); !read) return usageError(command, read);
  if (!catalogueSelection(selection)) return kExitRefused;
  const std::filesystem::path target =
      options.out.empty() ? gis::netcdfPathBeside(core::outputRmdPath(selection)) : std::filesystem::path(options.out);
  return writeCube(options, core::frameRequestOf(selection), target);
}

int runFromRmd(const CLI::App& command, const Options& options) {
  if (options.rmdPath.empty()) return usageError(command, usageProblem("FILE.RMD, --archive DIR or --grib2 PATH... is needed"));
  if (command.count("--region") + command.count("--area") > 0) {
    return usageError(command, usageProblem("--region and --area go with --archive"));
  }
  core::FileFrames frames;
  if (core::Status opened = frames.file.open(options.rmdPath); !opened) return refused(opened);
  const FrameRangeText range = wholeFileByDefault(options.range, frames.file.frameCount());
  if (core::Status found = resolveFrameRange(frames.file.frames(), range, frames.first, frames.last); !found) {
    return refused(found);
  }
  const std::filesystem::path target =
      options.out.empty() ? gis::netcdfPathBeside(options.rmdPath) : std::filesystem::path(options.out);
  return writeCube(options, std::move(frames), target);
}

}  // namespace

CommandRun defineExportNetcdf(CLI::App& command) {
  const auto options = std::make_shared<Options>();
  command.add_option("file", options->rmdPath, "preprocessed file (or --archive)")->type_name("FILE.RMD");
  addArchiveOptions(command, options->archive);
  addGrib2Options(command, options->grib2);
  // Frames (a number or YYYY-MM-DDThh:mm) of FILE.RMD or days of the archive: each form checks its own.
  command.add_option("--from", options->range.from, "first frame of FILE.RMD, or first day YYYY-MM-DD with --archive or --grib2")
      ->type_name("F");
  command.add_option("--to", options->range.to, "last frame of FILE.RMD, or last day YYYY-MM-DD with --archive or --grib2")
      ->type_name("F");
  command.add_option("--out", options->out, "NetCDF file to write (default: beside the RMD file, .nc)")
      ->type_name("PATH");
  command.add_flag("--stamps-utc", options->stampsUtc, "the archive was imported with UTC days: no shift to UTC");
  command.add_flag("--force", options->force, "replace an existing output file");
  return [&command, options] {
    if (command.count("--grib2")) return runFromGrib2(command, *options);
    return command.count("--archive") ? runFromArchive(command, *options) : runFromRmd(command, *options);
  };
}

}  // namespace ombrix::tool
