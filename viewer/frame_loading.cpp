#include "viewer/frame_loading.h"

#include "core/number_text.h"

namespace ombrix::viewer {

namespace {

bool frameInIndex(const core::AnalysisConditions& c, int i) { return i >= 0 && i < c.openFrameCount(); }

core::Status checkFrame(const core::AnalysisConditions& c, int i) {
  if (!c.fileOpen()) return {core::Problem::NoFileOpen};
  if (!frameInIndex(c, i)) return {core::Problem::FrameNotInFile};
  return {};
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
  return frameStamp(c.index[static_cast<std::size_t>(i)].stamp);
}

std::string frameStamp(const core::TimeStamp& t) {
  std::string stamp = std::to_string(t.year);
  stamp += core::twoDigits(t.month);
  stamp += core::twoDigits(t.day);
  stamp += core::twoDigits(t.hour);
  stamp += core::twoDigits(t.minute);
  return stamp;
}

void appendFrameLabel(std::string& label, const core::AnalysisConditions& c, int i) { label += frameStamp(c, i); }

core::Status showFrame(core::AnalysisConditions& c, int i, std::vector<std::int16_t>& frameGrid) {
  if (core::Status s = loadFrame(c, i, frameGrid); !s) return s;
  c.rainGrid = frameGrid;
  c.frameLabel = frameStamp(c, i);
  return {};
}

}  // namespace ombrix::viewer
