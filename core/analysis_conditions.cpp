#include "core/analysis_conditions.h"

#include <utility>

namespace ombrix::core {

ArchiveSelection AnalysisConditions::archiveSelection() const {
  const PeriodDates dates{{periodYear[0], periodYear[1]}, {periodMonth[0], periodMonth[1]}, {periodDay[0], periodDay[1]}};
  return {area, areaName, {dates, archiveFiles}, archiveDir};
}

void AnalysisConditions::setPeriod(const ArchivePeriod& period) {
  periodYear = period.dates.year;
  periodMonth = period.dates.month;
  periodDay = period.dates.day;
  periodHour = {0, 0};
  periodMinute = {0, 0};
  archiveFiles = period.files;
  archiveFileCount = static_cast<std::int32_t>(archiveFiles.size());
}

void AnalysisConditions::takePreprocessResult(const PreprocessResult& result) noexcept {
  if (!result.layoutDecided) return;
  halfHourly = result.halfHourly;
  outFrameCount = result.outFrameCount;
}

void AnalysisConditions::takeOpenedFile(RmdDataset opened, const ViewGeometry& drawing,
                                        const std::optional<std::string>& region) {
  openRmdDir = opened.path().parent_path().string();
  if (region) areaName = *region;
  rainGrid.assign(opened.header().cellCount(), 0);
  geometry = drawing;
  file = std::move(opened);
}

void AnalysisConditions::fileMissing(std::string folder) {
  openRmdDir = std::move(folder);
  closeFile();
}

void AnalysisConditions::showMap(std::vector<std::int16_t> grid, std::string label) {
  rainGrid = std::move(grid);
  frameLabel = std::move(label);
}

}  // namespace ombrix::core
