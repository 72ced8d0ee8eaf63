// Fuzz target: the input as an RMD file, opened as the viewer's file dialog does, its frames
// loaded, the whole-period CSV set exported beside it and the table of cell 0 built from that.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "core/analysis_conditions.h"
#include "export/period_export.h"
#include "export/point_table.h"
#include "fuzz/fuzz_scratch.h"
#include "viewer/frame_loading.h"
#include "viewer/rmd_opening.h"

namespace {

// Every frame of a short file; the first and last 24 of a long one.
bool frameToLoad(int k, int count) { return k < 24 || k >= count - 24; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const ombrix::fuzz::ScratchFolder scratch;
  const auto path = scratch.write("Ka20050712005073.RMD", std::span(data, size));
  const ombrix::viewer::RmdOpening opening = ombrix::viewer::openRmdFile(path, 64, 48);
  if (opening.outcome == ombrix::viewer::OpenOutcome::Opened) {
    ombrix::core::AnalysisConditions conditions;
    ombrix::viewer::applyOpening(opening, conditions);
    std::vector<std::int16_t> frameGrid;
    for (int k = 0; k < conditions.frameCount; ++k) {
      if (frameToLoad(k, conditions.frameCount)) (void)ombrix::viewer::showFrame(conditions, k, frameGrid);
    }
    const auto exported = ombrix::exports::exportPeriod(conditions, conditions.areaName, 100);
    if (exported.outcome == ombrix::exports::PeriodExportOutcome::Written) {
      (void)ombrix::exports::buildPointTable(exported.folder, std::int32_t{0});
    }
  }
  scratch.clear();
  return 0;
}
