// ombrix-tool export-max FILE.RMD --from S --to E: the CSV of the maximum rain rate over S..E.
#include "app/tool/export_session.h"

namespace ombrix::tool {
namespace {

int runExportMax(const std::vector<std::string>& words) {
  return runRangeExport("export-max", words, foldMaximum, kMaxSuffix);
}

const ToolCommandRegistration registration{
    {"export-max", "export-max FILE.RMD --from S --to E    (CSV of the maximum rain rate of frames S..E)",
     runExportMax}};

}  // namespace
}  // namespace ombrix::tool
