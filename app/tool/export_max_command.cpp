// ombrix-tool export-max FILE.RMD --from S --to E: the CSV of the maximum rain rate over S..E.
#include "app/tool/export_session.h"
#include "viewer/frame_accumulation.h"

namespace ombrix::tool {
namespace {

core::Status maximum(const core::AnalysisConditions& conditions, int s, int e, std::vector<std::int16_t>& result) {
  return viewer::maximumOfFrames(conditions, s, e, result);
}

int runExportMax(const std::vector<std::string>& words) { return runRangeExport("export-max", words, maximum, "-MAX"); }

const ToolCommandRegistration registration{
    {"export-max", "export-max FILE.RMD --from S --to E    (CSV of the maximum rain rate of frames S..E)",
     runExportMax}};

}  // namespace
}  // namespace ombrix::tool
