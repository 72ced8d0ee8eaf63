#include "core/frame_input.h"

namespace ombrix::core {

std::vector<std::string> inputFiles(const FrameInput& input) {
  if (const auto* request = std::get_if<FrameRequest>(&input)) {
    std::vector<std::string> files = request->archiveFiles;
    for (const auto& path : request->grib2Inputs) files.push_back(path.string());
    return files;
  }
  return {std::get<FileFrames>(input).file.path().string()};
}

}  // namespace ombrix::core
