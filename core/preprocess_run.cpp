#include "core/preprocess_run.h"

#include <limits>
#include <vector>

#include "core/frame_source.h"
#include "core/region_table.h"
#include "core/rmd_file.h"

namespace ombrix::core {

namespace {

constexpr std::int64_t kInt16Max = std::numeric_limits<std::int16_t>::max();

// A period too long for one file: problem, with the most days a file can hold and the days asked for.
Status tooManyDays(Problem problem, std::int64_t mostDays, std::int64_t days) {
  return {problem, {}, {.mostDays = mostDays, .periodDays = days}};
}

// The offset of the last frame of a period of days, and the most days whose last frame offset
// stays below 2^31 for a window of this many cells.
std::int64_t lastFrameOffset(int perDay, std::int64_t days, std::int64_t cells) noexcept {
  const std::int64_t frames = days * perDay;
  return kRmdHeaderSize + kRmdIndexEntrySize * perDay * frames + (frames - 1) * 4 * cells;
}

std::int64_t mostDaysForOffsets(int perDay, std::int64_t cells) noexcept {
  // lastFrameOffset is linear in days: 28 - 4 cells + days x (10 S^2 + 4 S cells).
  const std::int64_t perDayGrowth = kRmdIndexEntrySize * perDay * perDay + 4 * perDay * cells;
  return (kRmdMaxOffset - kRmdHeaderSize + 4 * cells) / perDayGrowth;
}

// The checks of the conditions, the frame count, the grid check and the offsets of the file.
// Nothing is written by any of them.
Status planRun(const ArchiveSelection& selection, AreaFrameLayout& layout) {
  const FrameRequest request = frameRequestOf(selection);
  if (Status s = checkCatalogue(request.archiveFiles, request.period); !s) return s;
  if (Status s = planPeriodAndArea(request.period, request.area, layout); !s) return s;
  if (layout.frameCount() > kInt16Max) {
    return tooManyDays(Problem::PeriodTooLong, kInt16Max / layout.framesPerDay, layout.days);
  }
  if (Status s = readReferenceGrid(request.archiveFiles, layout.grid); !s) return s;
  if (Status s = fitAreaWindow(request.area, layout); !s) return s;
  const std::int64_t cells = static_cast<std::int64_t>(layout.window.rows()) * layout.window.cols();
  if (lastFrameOffset(layout.framesPerDay, layout.days, cells) > kRmdMaxOffset) {
    const std::int64_t mostDays = mostDaysForOffsets(layout.framesPerDay, cells);
    if (mostDays < 1) return {Problem::NoDayFitsArea};
    return tooManyDays(Problem::PeriodTooLongForArea, mostDays, layout.days);
  }
  layout.header.frameCount = static_cast<std::int16_t>(layout.frameCount());
  return {};
}

}  // namespace

std::vector<Status> missingConditions(const ArchiveSelection& selection) {
  std::vector<Status> missing;
  if (selection.area == AreaBounds{}) missing.push_back({Problem::AreaNotSet});
  if (selection.period.files.empty()) missing.push_back({Problem::PeriodNotSet});
  if (selection.archiveDir.empty()) missing.push_back({Problem::ArchiveDirectoryNotSet});
  return missing;
}

bool readyToPreprocess(const ArchiveSelection& selection, const std::function<void(const Status&)>& report) {
  const std::vector<Status> missing = missingConditions(selection);
  for (const Status& condition : missing) report(condition);
  return missing.empty();
}

std::string outputRmdPath(const ArchiveSelection& selection) {
  const PeriodDates& p = selection.period.dates;
  const std::string name = rmdFileName(regionCodeForName(selection.areaName), p.year[0], p.month[0], p.day[0],
                                       p.year[1], p.month[1], p.day[1]);
  const std::string& dir = selection.archiveDir;
  if (!dir.empty() && dir.back() == '/') return dir + name;
  return dir + "/" + name;
}

PreprocessResult runPreprocessing(ArchiveSelection selection, std::filesystem::path output,
                                  const OperationCallbacks& callbacks) {
  PreprocessResult result;
  AreaFrameLayout layout;
  result.status = planRun(selection, layout);
  if (!result.status) return result;
  result.layoutDecided = true;
  result.halfHourly = layout.framesPerDay == 48 ? 1 : 0;
  result.outFrameCount = layout.header.frameCount;

  RmdWriter writer;
  result.status = writer.create(output, layout.header, layout.framesPerDay);
  if (result.status) {
    result.status = streamAreaFrames(selection.period.files, layout, callbacks,
                                     [&](std::int64_t k, const TimeStamp& stamp, std::span<const std::int16_t> cells) {
                                       writer.setEntry(static_cast<int>(k), stamp);
                                       return writer.writeFrame(static_cast<int>(k), cells);
                                     });
  }
  if (result.status) result.status = writer.commit();
  return result;
}

}  // namespace ombrix::core
