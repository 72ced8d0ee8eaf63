#include "viewer/frame_loading.h"

#include "core/messages.h"

namespace ombrix::viewer {

namespace {

bool frameInIndex(const core::AnalysisConditions& c, int i) { return i >= 0 && i < c.openFrameCount(); }

void appendTwoDigits(std::string& out, int value) {
  if (value < 10) out += '0';
  out += std::to_string(value);
}

core::Status checkFrame(const core::AnalysisConditions& c, int i) {
  if (!c.fileOpen()) return core::Status::failure(std::string(messages::kNoFileOpen));
  if (!frameInIndex(c, i)) return core::Status::failure(std::string(messages::kFrameNotInFile));
  return core::Status::success();
}

}  // namespace

core::Status loadFrame(const core::AnalysisConditions& c, int i, std::vector<std::int16_t>& frameGrid) {
  if (core::Status s = checkFrame(c, i); !s) return s;
  return core::readRmdFrame(c.openRmdPath, c.header, c.index[static_cast<std::size_t>(i)].frameOffset, frameGrid);
}

core::Status decodeFrame(const core::AnalysisConditions& c, int i, std::span<const std::uint8_t> fileBytes,
                         std::vector<std::int16_t>& frameGrid) {
  if (core::Status s = checkFrame(c, i); !s) return s;
  return core::decodeRmdFrame(fileBytes, 0, c.header, c.index[static_cast<std::size_t>(i)].frameOffset,
                              {0, c.header.cellCount()}, frameGrid, c.openRmdPath);
}

std::string frameStamp(const core::AnalysisConditions& c, int i) {
  if (!frameInIndex(c, i)) return {};
  const auto k = static_cast<std::size_t>(i);
  std::string stamp = std::to_string(c.index[k].stamp.year);
  appendTwoDigits(stamp, c.index[k].stamp.month);
  appendTwoDigits(stamp, c.index[k].stamp.day);
  appendTwoDigits(stamp, c.index[k].stamp.hour);
  appendTwoDigits(stamp, c.index[k].stamp.minute);
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
