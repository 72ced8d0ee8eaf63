// ombrix-tool preprocess: what a user does with the archive-directory, area and period dialogs
// followed by the preprocessing command, in one call.
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "app/tool/archive_selection.h"
#include "app/tool/tool_command.h"
#include "core/messages.h"
#include "core/preprocess_run.h"

namespace ombrix::tool {
namespace {

constexpr const char* kCommand = "preprocess";

int runPreprocess(const std::vector<std::string>& words) {
  ToolArguments arguments;
  if (!arguments.parse(words, {"--archive", "--region", "--from", "--to", "--area"}, {"--force"})) {
    return usageError(kCommand, arguments.error());
  }
  ArchiveSelection selection;
  if (const std::string error = readArchiveSelection(arguments, selection); !error.empty()) {
    return usageError(kCommand, error);
  }
  if (!catalogueSelection(selection)) return kExitRefused;
  core::AnalysisConditions& c = selection.conditions;

  c.outputRmdPath = core::outputRmdPath(c);
  if (!arguments.flag("--force") && std::filesystem::exists(c.outputRmdPath)) {
    return refused(std::string(messages::kOutputExists) + c.outputRmdPath);
  }
  core::PreprocessResult result;
  {
    TerminalProgress bar(kCommand);
    core::PreprocessCallbacks callbacks;
    callbacks.progress = [&bar](int begun, int count) { bar.update(static_cast<double>(begun) / count); };
    result = core::runPreprocessing(c, c.outputRmdPath, callbacks);
  }
  if (!result.status) return refused(result.status);
  std::cerr << messages::kPreprocessingDone << "\n";
  std::cout << c.outputRmdPath << "\n";
  return kExitOk;
}

const ToolCommandRegistration registration{
    {kCommand,
     "preprocess --archive DIR --region NAME --from YYYY-MM-DD --to YYYY-MM-DD [--area NORTH,WEST,SOUTH,EAST] "
     "[--force]",
     runPreprocess}};

}  // namespace
}  // namespace ombrix::tool
