// ombrix-tool export-max FILE.RMD --from S --to E: the CSV of the maximum rain rate over S..E.
#include "app/tool/command_table.h"
#include "app/tool/export_session.h"

namespace ombrix::tool {

CommandRun defineExportMax(CLI::App& command) { return defineRangeExport(command, viewer::RangeFold::Maximum); }

}  // namespace ombrix::tool
