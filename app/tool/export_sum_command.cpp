// ombrix-tool export-sum FILE.RMD --from S --to E: the CSV of the rainfall accumulated over S..E.
#include "app/tool/export_session.h"
#include "viewer/frame_accumulation.h"

namespace ombrix::tool {
namespace {

core::Status accumulate(const core::AnalysisConditions& conditions, int s, int e, std::vector<std::int16_t>& result) {
  return viewer::accumulateFrames(conditions, s, e, result);
}

int runExportSum(const std::vector<std::string>& words) {
  return runRangeExport("export-sum", words, accumulate, "-SUM");
}

const ToolCommandRegistration registration{
    {"export-sum", "export-sum FILE.RMD --from S --to E    (CSV of the accumulated rainfall of frames S..E)",
     runExportSum}};

}  // namespace
}  // namespace ombrix::tool
