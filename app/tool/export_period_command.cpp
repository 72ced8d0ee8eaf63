// ombrix-tool export-period FILE.RMD: the whole-period CSV set beside the file.
#include <iostream>
#include <vector>

#include "app/tool/export_session.h"
#include "export/period_export.h"

namespace ombrix::tool {
namespace {

constexpr int kProgressWidth = 1000;

int runExportPeriod(const std::vector<std::string>& words) {
  ToolArguments arguments;
  if (!arguments.parse(words, {}, {})) return usageError("export-period", arguments.error());
  if (arguments.positional().size() != 1) return usageError("export-period", "one RMD file is needed");
  core::AnalysisConditions conditions;
  if (core::Status opened = openForExport(arguments.positional().front(), conditions); !opened) return refused(opened);
  TerminalProgress progress("CSV");
  exports::PeriodExportCallbacks callbacks;
  callbacks.progress = [&](int width) { progress.update(static_cast<double>(width) / kProgressWidth); };
  const exports::PeriodExportResult result =
      exports::exportPeriod(conditions, conditions.areaName, kProgressWidth, callbacks);
  if (result.outcome != exports::PeriodExportOutcome::Written) return refused(result.message);
  std::cerr << result.message << "\n";
  std::cout << result.folder.string() << "\n";
  return kExitOk;
}

const ToolCommandRegistration registration{
    {"export-period", "export-period FILE.RMD    (one CSV file per day and FileList.txt, in a new folder)",
     runExportPeriod}};

}  // namespace
}  // namespace ombrix::tool
