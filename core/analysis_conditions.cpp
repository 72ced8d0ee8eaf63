#include "core/analysis_conditions.h"

#include <algorithm>

#include "core/messages.h"

namespace ombrix::core {

int AnalysisConditions::openFrameCount() const noexcept {
  if (!fileOpen() || header.frameCount <= 0) return 0;
  return static_cast<int>(std::min(static_cast<std::size_t>(header.frameCount), index.size()));
}

std::vector<MissingCondition> missingConditions(const AnalysisConditions& c) {
  std::vector<MissingCondition> missing;
  if (c.areaWestLon == 0 && c.areaNorthLat == 0 && c.areaEastLon == 0 && c.areaSouthLat == 0) {
    missing.push_back({Condition::Area, messages::kAreaNotSet});
  }
  if (c.archiveFileCount == 0) missing.push_back({Condition::Period, messages::kPeriodNotSet});
  if (c.archiveDir.empty()) {
    missing.push_back({Condition::ArchiveDirectory, messages::kArchiveDirNotSet});
  }
  return missing;
}

}  // namespace ombrix::core
