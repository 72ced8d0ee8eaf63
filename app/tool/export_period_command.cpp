// ombrix-tool export-period FILE.RMD: the whole-period CSV set beside the file.
#include <iostream>
#include <memory>

#include "app/tool/command_table.h"
#include "app/tool/export_session.h"
#include "export/period_export.h"

namespace ombrix::tool {

namespace {
constexpr int kProgressWidth = 1000;
}  // namespace

CommandRun defineExportPeriod(CLI::App& command) {
  const auto rmdPath = std::make_shared<std::string>();
  addRmdFileArgument(command, *rmdPath);
  return [rmdPath] {
    core::AnalysisConditions conditions;
    if (core::Status opened = openForExport(*rmdPath, conditions); !opened) return refused(opened);
    TerminalProgress progress("CSV");
    exports::PeriodExportCallbacks callbacks;
    callbacks.progress = [&](int width) { progress.update(static_cast<double>(width) / kProgressWidth); };
    const exports::PeriodExportResult result =
        exports::exportPeriod(conditions.openFileDataset(), conditions.areaName, kProgressWidth, callbacks);
    if (!result.status) return refused(result.status);
    std::cerr << core::message(core::Notice::CsvSetWritten) << "\n";
    std::cout << result.folder.string() << "\n";
    return kExitOk;
  };
}

}  // namespace ombrix::tool
