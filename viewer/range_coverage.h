#pragma once
// Which cells of a folded map had no data in any frame of its range: a sum or a maximum counts
// no data as 0 (the viewer and the CSV exports keep that rule), so the map alone cannot tell a
// dry cell from one never observed.
#include <cstdint>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "core/rmd_dataset.h"
#include "core/shown_map.h"
#include "core/problem.h"
#include "viewer/map_caption.h"

namespace ombrix::viewer {

// The frames s..e of the open file a folded map's caption names: the first frame with its
// first stamp and the last frame from there with its last stamp; nothing when one is missing.
std::optional<std::pair<int, int>> framesOfCaption(std::span<const core::FrameIndexEntry> frames,
                                                   const MapCaption& caption);

// noData[i] is 1 where cell i is negative (no data) in every frame s..e of the file, else 0.
// The file is read by a reader of its own.
core::Status cellsWithoutData(const core::RmdDataset& file, int s, int e, std::vector<std::uint8_t>& noData);

// A folded map with the cells marked in noData as -1 (no data) and every other negative value (a
// sum starting at a frame without data) as 0.
std::vector<std::int16_t> markCellsWithoutData(std::span<const std::int16_t> folded,
                                               std::span<const std::uint8_t> noData);

// The cells of the shown map, those of a folded map (read from file) without data marked; the
// cells unchanged for any other map.
core::Status shownMapWithoutData(const core::ShownMap& map, const core::RmdDataset& file,
                                 std::vector<std::int16_t>& cells);

}  // namespace ombrix::viewer
