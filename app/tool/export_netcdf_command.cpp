// ombrix-tool export-netcdf: frames of an RMD file, or an area and period straight from the
// archive, as one NetCDF-CF file.
//   export-netcdf FILE.RMD [--from F] [--to F] [--out PATH] [--stamps-utc] [--force]
//   export-netcdf --archive DIR --region NAME --from YYYY-MM-DD --to YYYY-MM-DD [--area N,W,S,E]
//                 [--out PATH] [--stamps-utc] [--force]
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "app/tool/archive_selection.h"
#include "app/tool/export_session.h"
#include "core/messages.h"
#include "core/preprocess_run.h"
#include "gis/netcdf_export.h"

namespace ombrix::tool {
namespace {

constexpr const char* kCommand = "export-netcdf";

struct FrameSpan {
  int first = 0;
  int last = 0;
};

// --from and --to of the RMD form: frame numbers, all frames by default. Empty on success.
std::string readFrameSpan(const ToolArguments& arguments, int frameCount, FrameSpan& span) {
  const auto first = wholeNumberOption(arguments, "--from");
  const auto last = wholeNumberOption(arguments, "--to");
  if ((arguments.value("--from") && !first) || (arguments.value("--to") && !last)) {
    return "--from and --to need frame numbers";
  }
  span = {first.value_or(0), last.value_or(frameCount - 1)};
  return {};
}

int writeCube(const std::filesystem::path& target, bool force, const auto& write) {
  if (!force && std::filesystem::exists(target)) return refused(std::string(messages::kOutputExists) + target.string());
  core::Status written;
  {
    TerminalProgress bar(kCommand);
    gis::NetcdfExportOptions options;
    options.progress = [&bar](double fraction) { bar.update(fraction); };
    written = write(options);
  }
  if (!written) return refused(written);
  std::cout << target.string() << "\n";
  return kExitOk;
}

int runExportNetcdf(const std::vector<std::string>& words) {
  ToolArguments arguments;
  if (!arguments.parse(words, {"--archive", "--region", "--from", "--to", "--area", "--out"},
                       {"--stamps-utc", "--force"})) {
    return usageError(kCommand, arguments.error());
  }
  std::string history = std::string("ombrix-tool ") + kCommand;
  for (const std::string& word : words) history.append(" ").append(word);
  const auto withOptions = [&](gis::NetcdfExportOptions& options) {
    options.stampsUtc = arguments.flag("--stamps-utc");
    options.history = history;
  };
  const bool force = arguments.flag("--force");

  if (arguments.value("--archive")) {
    ArchiveSelection selection;
    if (const std::string error = readArchiveSelection(arguments, selection); !error.empty()) {
      return usageError(kCommand, error);
    }
    if (!catalogueSelection(selection)) return kExitRefused;
    const std::filesystem::path target =
        arguments.value("--out").value_or(gis::netcdfPathBeside(core::outputRmdPath(selection.conditions)).string());
    return writeCube(target, force, [&](gis::NetcdfExportOptions& options) {
      withOptions(options);
      return gis::exportArchiveNetcdf(selection.conditions, target, options);
    });
  }

  if (arguments.positional().size() != 1) return usageError(kCommand, "one RMD file or --archive DIR is needed");
  if (arguments.value("--region") || arguments.value("--area"))
    return usageError(kCommand, "--region and --area need --archive");
  core::AnalysisConditions conditions;
  if (core::Status opened = openForExport(arguments.positional().front(), conditions); !opened) return refused(opened);
  FrameSpan span;
  if (const std::string error = readFrameSpan(arguments, conditions.frameCount, span); !error.empty()) {
    return usageError(kCommand, error);
  }
  const std::filesystem::path target =
      arguments.value("--out").value_or(gis::netcdfPathBeside(conditions.openRmdPath).string());
  return writeCube(target, force, [&](gis::NetcdfExportOptions& options) {
    withOptions(options);
    return gis::exportOpenFileNetcdf(conditions, span.first, span.last, target, options);
  });
}

const ToolCommandRegistration registration{
    {kCommand,
     "export-netcdf (FILE.RMD [--from F] [--to F] | --archive DIR --region NAME --from YYYY-MM-DD --to YYYY-MM-DD "
     "[--area NORTH,WEST,SOUTH,EAST]) [--out PATH] [--stamps-utc] [--force]    (NetCDF-CF file of the frames)",
     runExportNetcdf}};

}  // namespace
}  // namespace ombrix::tool
