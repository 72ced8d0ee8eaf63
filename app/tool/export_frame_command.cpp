// ombrix-tool export-frame FILE.RMD --frame K: the current-display CSV after showing frame K.
#include <vector>

#include "app/tool/export_session.h"
#include "viewer/frame_loading.h"

namespace ombrix::tool {
namespace {

int runExportFrame(const std::vector<std::string>& words) {
  ToolArguments arguments;
  if (!arguments.parse(words, {"--frame"}, {})) return usageError("export-frame", arguments.error());
  if (arguments.positional().size() != 1) return usageError("export-frame", "one RMD file is needed");
  const auto frame = wholeNumberOption(arguments, "--frame");
  if (!frame) return usageError("export-frame", "--frame needs a frame number");
  core::AnalysisConditions conditions;
  if (core::Status opened = openForExport(arguments.positional().front(), conditions); !opened) return refused(opened);
  std::vector<std::int16_t> frameGrid;
  if (core::Status shown = viewer::showFrame(conditions, *frame, frameGrid); !shown) return refused(shown);
  return exportShownMap(conditions);
}

const ToolCommandRegistration registration{
    {"export-frame", "export-frame FILE.RMD --frame K    (CSV of frame K, 0-based, beside the file)",
     runExportFrame}};

}  // namespace
}  // namespace ombrix::tool
