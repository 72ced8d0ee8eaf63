#pragma once
// Which cells of a folded map had no data in any frame of its range: a sum or a maximum counts
// no data as 0 (the viewer and the CSV exports keep that rule), so the map alone cannot tell a
// dry cell from one never observed.
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "core/analysis_conditions.h"
#include "core/problem.h"
#include "viewer/map_caption.h"

namespace ombrix::viewer {

// The frames s..e of the open file a folded map's caption names: the first frame with its
// first stamp and the last frame from there with its last stamp; nothing when one is missing.
std::optional<std::pair<int, int>> framesOfCaption(const core::AnalysisConditions& conditions,
                                                   const MapCaption& caption);

// noData[i] is 1 where cell i is negative (no data) in every frame s..e of the open file, else 0.
core::Status cellsWithoutData(const core::AnalysisConditions& conditions, int s, int e,
                              std::vector<std::uint8_t>& noData);

}  // namespace ombrix::viewer
