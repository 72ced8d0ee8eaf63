#include "viewer/frame_loading.h"

#include <algorithm>

#include "core/messages.h"
#include "core/number_text.h"

namespace ombrix::viewer {

namespace {

bool frameInIndex(const core::AnalysisConditions& c, int i) { return i >= 0 && i < framesInIndex(c); }

}  // namespace

int framesInIndex(const core::AnalysisConditions& c) {
  const std::size_t entries = std::min({c.frameOffset.size(), c.frameYear.size(), c.frameMonthDay.size(),
                                        c.frameHourMinute.size()});
  return static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(std::max<int>(c.frameCount, 0)), entries));
}

std::vector<core::FrameIndexEntry> openIndex(const core::AnalysisConditions& c) {
  std::vector<core::FrameIndexEntry> index(std::min({c.frameOffset.size(), c.frameYear.size(),
                                                     c.frameMonthDay.size(), c.frameHourMinute.size()}));
  for (std::size_t i = 0; i < index.size(); ++i) {
    index[i] = {{c.frameYear[i], c.frameMonthDay[i][0], c.frameMonthDay[i][1], c.frameHourMinute[i][0],
                 c.frameHourMinute[i][1]},
                c.frameOffset[i]};
  }
  return index;
}

core::RmdHeader openHeader(const core::AnalysisConditions& c) {
  core::RmdHeader h;
  h.frameCount = c.frameCount;
  h.fileWestLon = c.fileWestLon;
  h.fileNorthLat = c.fileNorthLat;
  h.fileEastLon = c.fileEastLon;
  h.fileSouthLat = c.fileSouthLat;
  h.gridRows = c.gridRows;
  h.gridCols = c.gridCols;
  h.cellLonStep = c.cellLonStep;
  h.cellLatStep = c.cellLatStep;
  h.noDataValue = c.noDataValue;
  return h;
}

namespace {

core::Status checkFrame(const core::AnalysisConditions& c, int i) {
  if (c.openRmdPath.empty()) return core::Status::failure(std::string(messages::kNoFileOpen));
  if (!frameInIndex(c, i)) return core::Status::failure(std::string(messages::kFrameNotInFile));
  return core::Status::success();
}

}  // namespace

core::Status loadFrame(const core::AnalysisConditions& c, int i, std::vector<std::int16_t>& frameGrid) {
  if (core::Status s = checkFrame(c, i); !s) return s;
  return core::readRmdFrame(c.openRmdPath, openHeader(c), c.frameOffset[static_cast<std::size_t>(i)], frameGrid);
}

core::Status decodeFrame(const core::AnalysisConditions& c, int i, std::span<const std::uint8_t> fileBytes,
                         std::vector<std::int16_t>& frameGrid) {
  if (core::Status s = checkFrame(c, i); !s) return s;
  const core::RmdHeader header = openHeader(c);
  return core::decodeRmdFrame(fileBytes, 0, header, c.frameOffset[static_cast<std::size_t>(i)],
                              {0, header.cellCount()}, frameGrid, c.openRmdPath);
}

std::string frameStamp(const core::AnalysisConditions& c, int i) {
  if (!frameInIndex(c, i)) return {};
  const auto k = static_cast<std::size_t>(i);
  std::string stamp = std::to_string(c.frameYear[k]);
  stamp += core::twoDigits(c.frameMonthDay[k][0]);
  stamp += core::twoDigits(c.frameMonthDay[k][1]);
  stamp += core::twoDigits(c.frameHourMinute[k][0]);
  stamp += core::twoDigits(c.frameHourMinute[k][1]);
  return stamp;
}

void appendFrameLabel(std::string& label, const core::AnalysisConditions& c, int i) { label += frameStamp(c, i); }

core::Status showFrame(core::AnalysisConditions& c, int i, std::vector<std::int16_t>& frameGrid) {
  if (core::Status s = loadFrame(c, i, frameGrid); !s) return s;
  c.rainGrid = frameGrid;
  c.frameLabel = frameStamp(c, i);
  return core::Status::success();
}

}  // namespace ombrix::viewer
