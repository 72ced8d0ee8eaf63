// ombrix-tool export-period FILE.RMD: the whole-period CSV set beside the file.
#include <iostream>
#include <memory>

#include "app/tool/command_table.h"
#include "app/tool/export_session.h"
#include "app/tool/long_run.h"
#include "export/period_export.h"

namespace ombrix::tool {

CommandRun defineExportPeriod(CLI::App& command) {
  const auto rmdPath = std::make_shared<std::string>();
  addRmdFileArgument(command, *rmdPath);
  return [rmdPath] {
    ExportSession session;
    if (core::Status opened = openForExport(*rmdPath, session); !opened) return refused(opened);
    // A bar one unit per frame: its width is the count of frames written.
    const exports::PeriodExportResult result =
        runLong("export-period", [&session](const core::OperationCallbacks& callbacks) {
          return exports::exportPeriod(session.file, session.areaName, session.file.frameCount(), callbacks);
        });
    if (!result.status) return refused(result.status);
    std::cerr << core::message(core::Notice::CsvSetWritten) << "\n";
    std::cout << result.folder.string() << "\n";
    return kExitOk;
  };
}

}  // namespace ombrix::tool
