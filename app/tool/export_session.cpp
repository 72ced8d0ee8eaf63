#include "app/tool/export_session.h"

#include <iostream>
#include <memory>

#include "app/tool/frame_options.h"
#include "app/tool/long_run.h"
#include "core/distinct_output.h"
#include "export/current_display_export.h"

namespace ombrix::tool {

ExportSession sessionOf(const viewer::OpenedRmd& opened) {
  return {opened.dataset(), opened.areaName.value_or(std::string()), {}, {}};
}

core::Status openForExport(const std::string& path, ExportSession& session) {
  const viewer::RmdOpening opening = viewer::openRmdFile(path);
  if (!opening.status) return opening.status;
  session = sessionOf(opening.file);
  return {};
}

int exportShownMap(const ExportSession& session) {
  const core::ShownMap map = session.shownMap();
  const std::filesystem::path target = exports::currentDisplayPath(map, session.areaName);
  if (core::Status s = core::checkOutputNotInput(target, {session.file.path()}); !s) return refused(s);
  const exports::CurrentDisplayResult result = exports::exportCurrentDisplay(map, session.areaName);
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
  return [&command, options, fold] {
    ExportSession session;
    if (core::Status opened = openForExport(options->rmdPath, session); !opened) return refused(opened);
    int s = 0;
    int e = 0;
    if (core::Status found = resolveFrameRange(session.file.frames(), options->range, s, e); !found) {
      return refused(found);
    }
    const core::Status folded = runLong(command.get_name(), [&](const core::OperationCallbacks& callbacks) {
      return viewer::foldLabelled(fold, session.file, s, e, session.cells, session.label, {callbacks, {}});
    });
    if (!folded) return refused(folded);
    return exportShownMap(session);
  };
}

}  // namespace ombrix::tool
