#include "viewer/range_coverage.h"

#include <algorithm>

#include "viewer/frame_loading.h"

namespace ombrix::viewer {

std::optional<std::pair<int, int>> framesOfCaption(std::span<const core::FrameIndexEntry> frames,
                                                   const MapCaption& caption) {
  std::optional<std::pair<int, int>> range;
  for (int k = 0; k < static_cast<int>(frames.size()); ++k) {
    const core::TimeStamp& stamp = frames[static_cast<std::size_t>(k)].stamp;
    if (!range && stamp == caption.first) range = std::pair(k, -1);
    if (range && stamp == caption.last) range->second = k;
  }
  return range && range->second >= 0 ? range : std::nullopt;
}

core::Status cellsWithoutData(const core::RmdDataset& file, int s, int e, std::vector<std::uint8_t>& noData) {
  core::RmdDataset reader = file;
  std::vector<std::uint8_t> marks(file.header().cellCount(), 1);
  std::vector<std::int16_t> frame;
  for (int k = s; k <= e; ++k) {
    if (core::Status status = loadFrame(reader, k, frame); !status) return status;
    for (std::size_t i = 0; i < marks.size() && i < frame.size(); ++i) marks[i] &= frame[i] < 0 ? 1 : 0;
  }
  noData = std::move(marks);
  return {};
}

std::vector<std::int16_t> markCellsWithoutData(std::span<const std::int16_t> folded,
                                               std::span<const std::uint8_t> noData) {
  std::vector<std::int16_t> map(folded.size());
  for (std::size_t i = 0; i < folded.size(); ++i) {
    map[i] = i < noData.size() && noData[i] != 0 ? std::int16_t{-1} : std::max<std::int16_t>(folded[i], 0);
  }
  return map;
}

core::Status shownMapWithoutData(const core::ShownMap& map, const core::RmdDataset& file,
                                 std::vector<std::int16_t>& cells) {
  const auto caption = mapCaptionOf(map.label);
  const bool folded = caption && (caption->kind == MapKind::Sum || caption->kind == MapKind::Maximum);
  const auto range = folded ? framesOfCaption(file.frames(), *caption) : std::nullopt;
  if (!range) {
    cells.assign(map.cells.begin(), map.cells.end());
    return {};
  }
  std::vector<std::uint8_t> noData;
  if (core::Status s = cellsWithoutData(file, range->first, range->second, noData); !s) return s;
  cells = markCellsWithoutData(map.cells, noData);
  return {};
}

}  // namespace ombrix::viewer
