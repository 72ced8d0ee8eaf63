// ombrix-tool export-netcdf: frames of an RMD file, or an area and period straight from the
// archive, as one NetCDF-CF file.
//   export-netcdf FILE.RMD [--from F] [--to F] [--out PATH] [--stamps-utc] [--force]
//   export-netcdf --archive DIR --region NAME --from YYYY-MM-DD --to YYYY-MM-DD [--area N,W,S,E]
//                 [--out PATH] [--stamps-utc] [--force]
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include "app/tool/archive_selection.h"
#include "app/tool/command_table.h"
#include "app/tool/export_session.h"
#include "app/tool/frame_options.h"
#include "core/distinct_output.h"
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
};

// The command as the history attribute records it.
std::string historyOf(const Options& o) {
  std::string text = "ombrix-tool export-netcdf";
  const auto add = [&text](const char* name, const std::string& value) {
    if (!value.empty()) text.append(" ").append(name).append(name[0] ? " " : "").append(value);
  };
  add("", o.rmdPath);
  add("--archive", o.archive.archive);
  add("--region", o.archive.region);
  add("--area", o.archive.area);
  add("--from", o.range.from);
  add("--to", o.range.to);
  add("--out", o.out);
  if (o.stampsUtc) text += " --stamps-utc";
  return text;
}

template <typename Write>
int writeCube(const std::filesystem::path& target, const Options& options, const Write& write) {
  if (refusedAsExisting(target, options.force)) return kExitRefused;
  core::Status written;
  {
    TerminalProgress bar("export-netcdf");
    gis::NetcdfExportOptions exportOptions;
    exportOptions.stampsUtc = options.stampsUtc;
    exportOptions.history = historyOf(options);
    exportOptions.progress = [&bar](double fraction) { bar.update(fraction); };
    written = write(exportOptions);
  }
  if (!written) return refused(written);
  std::cout << target.string() << "\n";
  return kExitOk;
}

int runFromArchive(const CLI::App& command, const Options& options) {
  if (!options.rmdPath.empty()) return usageError(command, usageProblem("give either FILE.RMD or --archive"));
  ArchiveSelection selection;
  ArchiveOptions archive = options.archive;
  archive.from = options.range.from;
  archive.to = options.range.to;
  if (core::Status read = readArchiveSelection(archive, selection); !read) return usageError(command, read);
  if (!catalogueSelection(selection)) return kExitRefused;
  const std::filesystem::path target =
      options.out.empty() ? gis::netcdfPathBeside(core::outputRmdPath(selection.conditions))
                          : std::filesystem::path(options.out);
  if (core::Status distinct = core::checkOutputNotInput(target, selection.conditions.archiveFiles); !distinct) {
    return refused(distinct);
  }
  return writeCube(target, options, [&](const gis::NetcdfExportOptions& exportOptions) {
    return gis::exportArchiveNetcdf(selection.conditions, target, exportOptions);
  });
}

int runFromRmd(const CLI::App& command, const Options& options) {
  if (options.rmdPath.empty()) return usageError(command, usageProblem("FILE.RMD or --archive DIR is needed"));
  if (command.count("--region") + command.count("--area") > 0) {
    return usageError(command, usageProblem("--region and --area go with --archive"));
  }
  core::RmdDataset file;
  if (core::Status opened = file.open(options.rmdPath); !opened) return refused(opened);
  const FrameRangeText range = wholeFileByDefault(options.range, file.frameCount());
  int first = 0;
  int last = 0;
  if (core::Status found = resolveFrameRange(file.frames(), range, first, last); !found) return refused(found);
  const std::filesystem::path target =
      options.out.empty() ? gis::netcdfPathBeside(options.rmdPath) : std::filesystem::path(options.out);
  if (core::Status distinct = core::checkOutputNotInput(target, {options.rmdPath}); !distinct) return refused(distinct);
  return writeCube(target, options, [&](const gis::NetcdfExportOptions& exportOptions) {
    return gis::exportOpenFileNetcdf(file, first, last, target, exportOptions);
  });
}

}  // namespace

CommandRun defineExportNetcdf(CLI::App& command) {
  const auto options = std::make_shared<Options>();
  command.add_option("file", options->rmdPath, "preprocessed file (or --archive)")->type_name("FILE.RMD");
  addArchiveOptions(command, options->archive);
  // Frames (a number or YYYY-MM-DDThh:mm) of FILE.RMD or days of the archive: each form checks its own.
  command.add_option("--from", options->range.from, "first frame of FILE.RMD, or first day YYYY-MM-DD with --archive")
      ->type_name("F");
  command.add_option("--to", options->range.to, "last frame of FILE.RMD, or last day YYYY-MM-DD with --archive")
      ->type_name("F");
  command.add_option("--out", options->out, "NetCDF file to write (default: beside the RMD file, .nc)")
      ->type_name("PATH");
  command.add_flag("--stamps-utc", options->stampsUtc, "the archive was imported with UTC days: no shift to UTC");
  command.add_flag("--force", options->force, "replace an existing output file");
  return [&command, options] {
    return command.count("--archive") ? runFromArchive(command, *options) : runFromRmd(command, *options);
  };
}

}  // namespace ombrix::tool
