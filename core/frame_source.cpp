#include "core/frame_source.h"

namespace ombrix::core {

std::vector<std::string> sourceFiles(const FrameSource& source) {
  if (const auto* archive = std::get_if<ArchiveFrames>(&source)) return archive->conditions.archiveFiles;
  return {std::get<FileFrames>(source).file.path().string()};
}

}  // namespace ombrix::core
