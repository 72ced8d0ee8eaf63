// ombrix-tool preprocess: what a user does with the archive-directory, area and period dialogs
// followed by the preprocessing command, in one call.
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include "app/tool/archive_selection.h"
#include "app/tool/command_table.h"
#include "app/tool/long_run.h"
#include "core/distinct_output.h"
#include "core/messages.h"
#include "core/preprocess_run.h"

namespace ombrix::tool {
namespace {

struct Options {
  ArchiveOptions archive;
  bool force = false;
};

int runPreprocess(const CLI::App& command, const Options& options) {
  core::ArchiveSelection selection;
  if (core::Status read = readArchiveSelection(options.archive, selection); !read) return usageError(command, read);
  if (!catalogueSelection(selection)) return kExitRefused;

  const std::string output = core::outputRmdPath(selection);
  if (refusedAsExisting(output, options.force)) return kExitRefused;
  if (core::Status distinct = core::checkOutputNotInput(output, selection.period.files); !distinct) return refused(distinct);
  const core::PreprocessResult result = runLong("preprocess", [&](const core::OperationCallbacks& callbacks) {
    return core::runPreprocessing(selection, output, callbacks);
  });
  if (!result.status) return refused(result.status);
  std::cerr << messages::kPreprocessingDone << "\n";
  std::cout << output << "\n";
  return kExitOk;
}

}  // namespace

CommandRun definePreprocess(CLI::App& command) {
  const auto options = std::make_shared<Options>();
  addArchiveOptions(command, options->archive);
  addPeriodOptions(command, options->archive);
  for (const char* name : {"--archive", "--region", "--from", "--to"}) command.get_option(name)->required();
  command.add_flag("--force", options->force, "replace an existing output file");
  return [&command, options] { return runPreprocess(command, *options); };
}

}  // namespace ombrix::tool
