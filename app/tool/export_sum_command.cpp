// ombrix-tool export-sum FILE.RMD --from S --to E: the CSV of the rainfall accumulated over S..E.
#include "app/tool/export_session.h"

namespace ombrix::tool {
namespace {

int runExportSum(const std::vector<std::string>& words) {
  return runRangeExport("export-sum", words, foldAccumulation, kSumSuffix);
}

const ToolCommandRegistration registration{
    {"export-sum", "export-sum FILE.RMD --from S --to E    (CSV of the accumulated rainfall of frames S..E)",
     runExportSum}};

}  // namespace
}  // namespace ombrix::tool
