// ombrix-tool export-sum FILE.RMD --from S --to E: the CSV of the rainfall accumulated over S..E.
#include "app/tool/command_table.h"
#include "app/tool/export_session.h"

namespace ombrix::tool {

CommandRun defineExportSum(CLI::App& command) { return defineRangeExport(command, viewer::RangeFold::Sum); }

}  // namespace ombrix::tool
