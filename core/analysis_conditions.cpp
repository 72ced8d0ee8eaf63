#include "core/analysis_conditions.h"

namespace ombrix::core {

std::vector<Status> missingConditions(const AnalysisConditions& c) {
  std::vector<Status> missing;
  if (c.area == AreaBounds{}) missing.push_back({Problem::AreaNotSet});
  if (c.archiveFileCount == 0) missing.push_back({Problem::PeriodNotSet});
  if (c.archiveDir.empty()) missing.push_back({Problem::ArchiveDirectoryNotSet});
  return missing;
}

}  // namespace ombrix::core
