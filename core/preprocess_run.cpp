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
Status planRun(const AnalysisConditions& c, AreaFrameLayout& layout) {
  const FrameRequest request = frameRequestOf(c);
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

// What a run reads of the conditions, copied when it starts: while the run lets events run, a
// new period may clear and refill the catalogue, and the area may change.
AnalysisConditions runInputs(const AnalysisConditions& c) {
  AnalysisConditions inputs;
  inputs.area = c.area;
  inputs.periodYear = c.periodYear;
  inputs.periodMonth = c.periodMonth;
  inputs.periodDay = c.periodDay;
  inputs.archiveFileCount = c.archiveFileCount;
  inputs.archiveFiles = c.archiveFiles;
  return inputs;
}

}  // namespace

bool readyToPreprocess(const AnalysisConditions& conditions, const std::function<void(const Status&)>& report) {
  const std::vector<Status> missing = missingConditions(conditions);
  for (const Status& condition : missing) report(condition);
  return missing.empty();
}

std::string outputRmdPath(const AnalysisConditions& c) {
  const std::string name = rmdFileName(regionCodeForName(c.areaName), c.periodYear[0], c.periodMonth[0],
                                       c.periodDay[0], c.periodYear[1], c.periodMonth[1], c.periodDay[1]);
  if (!c.archiveDir.empty() && c.archiveDir.back() == '/') return c.archiveDir + name;
  return c.archiveDir + "/" + name;
}

PreprocessResult runPreprocessing(const AnalysisConditions& conditions, std::filesystem::path output,
                                  const OperationCallbacks& callbacks) {
  const AnalysisConditions inputs = runInputs(conditions);
  PreprocessResult result;
  AreaFrameLayout layout;
  result.status = planRun(inputs, layout);
  if (!result.status) return result;
  result.layoutDecided = true;
  result.halfHourly = layout.framesPerDay == 48 ? 1 : 0;
  result.outFrameCount = layout.header.frameCount;

  RmdWriter writer;
  result.status = writer.create(output, layout.header, layout.framesPerDay);
  if (result.status) {
    result.status = streamAreaFrames(inputs.archiveFiles, layout, callbacks,
                                     [&](std::int64_t k, const TimeStamp& stamp, std::span<const std::int16_t> cells) {
                                       writer.setEntry(static_cast<int>(k), stamp);
                                       return writer.writeFrame(static_cast<int>(k), cells);
                                     });
  }
  if (result.status) result.status = writer.commit();
  return result;
}

void applyPreprocessResult(const PreprocessResult& result, AnalysisConditions& conditions) noexcept {
  if (!result.layoutDecided) return;
  conditions.halfHourly = result.halfHourly;
  conditions.outFrameCount = result.outFrameCount;
}

}  // namespace ombrix::core
