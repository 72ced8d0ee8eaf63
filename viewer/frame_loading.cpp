#include "viewer/frame_loading.h"

#include "core/number_text.h"

namespace ombrix::viewer {

namespace {

bool frameInIndex(const core::RmdDataset& file, int i) { return i >= 0 && i < file.frameCount(); }

core::Status checkFrame(const core::RmdDataset& file, int i) {
  if (!file.isOpen()) return {core::Problem::NoFileOpen};
  if (!frameInIndex(file, i)) return {core::Problem::FrameNotInFile};
  return {};
}

}  // namespace

core::Status loadFrame(core::RmdDataset& file, int i, std::vector<std::int16_t>& frameGrid) {
  if (core::Status s = checkFrame(file, i); !s) return s;
  return file.readFrame(i, frameGrid);
}

core::Status decodeFrame(const core::RmdDataset& file, int i, std::span<const std::uint8_t> fileBytes,
                         std::vector<std::int16_t>& frameGrid) {
  if (core::Status s = checkFrame(file, i); !s) return s;
  return core::decodeRmdFrame(fileBytes, 0, file.header(), file.index()[static_cast<std::size_t>(i)].frameOffset,
                              {0, file.header().cellCount()}, frameGrid, file.path().string());
}

std::string frameStamp(const core::RmdDataset& file, int i) {
  if (!frameInIndex(file, i)) return {};
  return frameStamp(file.index()[static_cast<std::size_t>(i)].stamp);
}

std::string frameStamp(const core::TimeStamp& t) {
  std::string stamp = std::to_string(t.year);
  stamp += core::twoDigits(t.month);
  stamp += core::twoDigits(t.day);
  stamp += core::twoDigits(t.hour);
  stamp += core::twoDigits(t.minute);
  return stamp;
}

core::Status showFrame(core::RmdDataset& file, int i, std::vector<std::int16_t>& frameGrid,
                       std::vector<std::int16_t>& cells, std::string& label) {
  if (core::Status s = loadFrame(file, i, frameGrid); !s) return s;
  cells = frameGrid;
  label = frameStamp(file, i);
  return {};
}

}  // namespace ombrix::viewer
