// Fuzz target: the input as an RMD file in memory, opened as the viewer's file dialog does,
// its frames decoded as the viewer shows them, and a range of cells of each decoded as the
// whole-period export reads them.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "core/analysis_conditions.h"
#include "viewer/frame_loading.h"
#include "viewer/rmd_opening.h"

namespace {

// Every frame of a short file; the first and last 4 of a long one (the frames between take
// the same paths).
bool frameToLoad(int k, int count) { return k < 4 || k >= count - 4; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  const ombrix::viewer::RmdOpening opening =
      ombrix::viewer::openRmdBytes(bytes, size, "/fuzz/Ka20050712005073.RMD", 64, 48);
  if (!opening.status) return 0;
  ombrix::core::AnalysisConditions conditions;
  ombrix::viewer::applyOpening(opening, conditions);
  const ombrix::core::RmdHeader& header = conditions.header;
  const std::size_t cells = header.cellCount();
  std::vector<std::int16_t> frameGrid;
  std::vector<std::int16_t> range;
  const int frames = conditions.openFrameCount();
  for (int k = 0; k < frames; ++k) {
    if (!frameToLoad(k, frames)) continue;
    (void)ombrix::viewer::decodeFrame(conditions, k, bytes, frameGrid);
    (void)ombrix::core::decodeRmdFrame(bytes, 0, header, conditions.index[static_cast<std::size_t>(k)].frameOffset,
                                       {cells / 2, cells - cells / 2}, range, conditions.openRmdPath);
  }
  return 0;
}
