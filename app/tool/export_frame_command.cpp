// ombrix-tool export-frame FILE.RMD --frame K: the current-display CSV after showing frame K.
#include <memory>
#include <vector>

#include "app/tool/command_table.h"
#include "app/tool/export_session.h"
#include "app/tool/frame_options.h"
#include "viewer/frame_loading.h"

namespace ombrix::tool {

CommandRun defineExportFrame(CLI::App& command) {
  struct Options {
    std::string rmdPath;
    std::string frame;
  };
  const auto options = std::make_shared<Options>();
  addRmdFileArgument(command, options->rmdPath);
  addFrameOption(command, "--frame", options->frame, "the frame to export")->required();
  return [options] {
    ExportSession session;
    if (core::Status opened = openForExport(options->rmdPath, session); !opened) return refused(opened);
    int frame = 0;
    if (core::Status found = resolveFrame(session.file.frames(), options->frame, frame); !found) return refused(found);
    std::vector<std::int16_t> frameGrid;
    if (core::Status shown = viewer::showFrame(session.file, frame, frameGrid, session.cells, session.label); !shown) {
      return refused(shown);
    }
    return exportShownMap(session);
  };
}

}  // namespace ombrix::tool
