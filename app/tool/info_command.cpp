// ombrix-tool info FILE.RMD: the header, the frame times and the frames no record filled.
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "app/tool/command_table.h"
#include "core/number_text.h"
#include "core/rmd_file.h"

namespace ombrix::tool {
namespace {

std::string degreesText(std::int32_t microdegrees) {
  return core::formatDegrees(microdegrees) + " (" + std::to_string(microdegrees) + ")";
}

// Ascending frame numbers as ranges: "3, 5-9, 12".
std::string rangesText(const std::vector<int>& frames) {
  std::string text;
  for (std::size_t i = 0; i < frames.size();) {
    std::size_t end = i;
    while (end + 1 < frames.size() && frames[end + 1] == frames[end] + 1) ++end;
    if (!text.empty()) text += ", ";
    text += std::to_string(frames[i]);
    if (end > i) text.append("-").append(std::to_string(frames[end]));
    i = end + 1;
  }
  return text;
}

void printContents(const std::string& path, const core::RmdContents& contents) {
  const core::RmdHeader& h = contents.header;
  std::vector<int> empty;
  for (std::size_t k = 0; k < contents.index.size(); ++k) {
    if (contents.index[k].frameOffset == 0) empty.push_back(static_cast<int>(k));
  }
  std::cout << "file:            " << path << "\n"
            << "frames:          " << h.frameCount << "\n"
            << "rows x columns:  " << h.gridRows << " x " << h.gridCols << "\n"
            << "west longitude:  " << degreesText(h.fileWestLon) << "\n"
            << "north latitude:  " << degreesText(h.fileNorthLat) << "\n"
            << "east longitude:  " << degreesText(h.fileEastLon) << "\n"
            << "south latitude:  " << degreesText(h.fileSouthLat) << "\n"
            << "cell steps:      " << h.cellLonStep << " (longitude), " << h.cellLatStep << " (latitude)\n"
            << "no-data value:   " << h.noDataValue << "\n"
            << "first frame:     " << core::stampText(contents.index.front().stamp) << "\n"
            << "last frame:      " << core::stampText(contents.index.back().stamp) << "\n"
            << "empty frames:    " << empty.size();
  if (!empty.empty()) std::cout << " (" << rangesText(empty) << ")";
  std::cout << "\n";
}

}  // namespace

CommandRun defineInfo(CLI::App& command) {
  const auto path = std::make_shared<std::string>();
  addRmdFileArgument(command, *path);
  return [path] {
    core::RmdContents contents;
    if (core::Status s = core::readRmdFile(*path, contents); !s) return refused(s);
    printContents(*path, contents);
    return kExitOk;
  };
}

}  // namespace ombrix::tool
