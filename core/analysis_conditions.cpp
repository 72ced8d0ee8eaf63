#include "core/analysis_conditions.h"

namespace ombrix::core {

std::vector<Status> missingConditions(const AnalysisConditions& c) {
  std::vector<Status> missing;
  if (c.areaWestLon == 0 && c.areaNorthLat == 0 && c.areaEastLon == 0 && c.areaSouthLat == 0) {
    missing.push_back({Problem::AreaNotSet});
  }
  if (c.archiveFileCount == 0) missing.push_back({Problem::PeriodNotSet});
  if (c.archiveDir.empty()) missing.push_back({Problem::ArchiveDirectoryNotSet});
  return missing;
}

}  // namespace ombrix::core
