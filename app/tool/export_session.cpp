#include "app/tool/export_session.h"

#include <iostream>
#include <memory>

#include "app/tool/frame_options.h"
#include "core/distinct_output.h"
#include "export/current_display_export.h"

namespace ombrix::tool {

core::Status openForExport(const std::string& path, core::AnalysisConditions& conditions) {
  const viewer::RmdOpening opening = viewer::openRmdFile(path);
  if (!opening.status) return opening.status;
  viewer::applyOpening(opening, conditions);
  return {};
}

int exportShownMap(const core::AnalysisConditions& conditions) {
  const core::ShownMap map = conditions.shownMap();
  const std::filesystem::path target = exports::currentDisplayPath(map, conditions.areaName);
  if (core::Status s = core::checkOutputNotInput(target, {conditions.file.path()}); !s) return refused(s);
  const exports::CurrentDisplayResult result = exports::exportCurrentDisplay(map, conditions.areaName);
  if (!result.status) return refused(result.status);
  std::cout << result.path.string() << "\n";
  return kExitOk;
}

CommandRun defineRangeExport(CLI::App& command, viewer::RangeFold fold) {
  struct Options {
    std::string rmdPath;
    FrameRangeText range;
  };
  const auto options = std::make_shared<Options>();
  addRmdFileArgument(command, options->rmdPath);
  addFrameRangeOptions(command, options->range);
  command.get_option("--from")->required();
  command.get_option("--to")->required();
  return [options, fold] {
    core::AnalysisConditions conditions;
    if (core::Status opened = openForExport(options->rmdPath, conditions); !opened) return refused(opened);
    core::RmdDataset file = conditions.openFileDataset();
    int s = 0;
    int e = 0;
    if (core::Status found = resolveFrameRange(file.frames(), options->range, s, e); !found) return refused(found);
    if (core::Status folded = viewer::foldLabelled(fold, file, s, e, conditions.rainGrid, conditions.frameLabel);
        !folded) {
      return refused(folded);
    }
    return exportShownMap(conditions);
  };
}

}  // namespace ombrix::tool
