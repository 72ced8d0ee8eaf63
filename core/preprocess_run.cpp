#include "core/preprocess_run.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "core/messages.h"
#include "core/rap_archive.h"
#include "core/region_table.h"
#include "core/rmd_file.h"

namespace ombrix::core {

namespace {

constexpr std::int64_t kInt16Max = std::numeric_limits<std::int16_t>::max();

// Everything pass 1 decides: the reference grid, the window and the header of the new file.
struct RunLayout {
  GridDescription grid;
  AreaWindow window;
  RmdHeader header;
  int framesPerDay = 0;
  std::int64_t days = 0;
};

AreaBounds areaOf(const AnalysisConditions& c) noexcept {
  return {c.areaWestLon, c.areaNorthLat, c.areaEastLon, c.areaSouthLat};
}

// Calendar days from the start to the end of the period, both included; 0 when a date does not exist.
std::int64_t periodDays(const AnalysisConditions& c) {
  using namespace std::chrono;
  const auto date = [&](std::size_t i) {
    return year_month_day{year{c.periodYear[i]}, month{static_cast<unsigned>(c.periodMonth[i])},
                          day{static_cast<unsigned>(c.periodDay[i])}};
  };
  const year_month_day start = date(0);
  const year_month_day end = date(1);
  if (!start.ok() || !end.ok()) return 0;
  return std::max<std::int64_t>((sys_days{end} - sys_days{start}).count() + 1, 0);
}

std::string mostDaysMessage(std::string_view reason, std::int64_t mostDays, std::int64_t days) {
  return std::string(reason) + std::string(messages::kMostDaysPrefix) + std::to_string(mostDays) +
         std::string(messages::kMostDaysMiddle) + std::to_string(days) + std::string(messages::kMostDaysSuffix);
}

// Pass 1: every file's grid description must equal the first one's.
Status readReferenceGrid(const std::vector<std::string>& files, GridDescription& reference) {
  for (std::size_t f = 0; f < files.size(); ++f) {
    ArchiveHeader header;
    if (Status s = readArchiveHeader(files[f], header); !s) return s;
    if (f == 0) {
      reference = header.grid;
    } else if (!(header.grid == reference)) {
      return Status::failure(std::string(messages::kGridMismatch));
    }
  }
  return Status::success();
}

std::int16_t stepField(std::int32_t spacing, int divisor) noexcept {
  return static_cast<std::int16_t>(std::lrint(static_cast<double>(spacing) / divisor));
}

RmdHeader headerFor(const GridDescription& g, const AreaWindow& w, std::int64_t frames, int divisor) noexcept {
  RmdHeader h;
  h.frameCount = static_cast<std::int16_t>(frames);
  h.fileWestLon = static_cast<std::int32_t>(g.lon0 + static_cast<std::int64_t>(w.firstCol) * g.dlon);
  h.fileNorthLat = static_cast<std::int32_t>(g.lat0 - static_cast<std::int64_t>(w.firstRow) * g.dlat);
  h.fileEastLon = static_cast<std::int32_t>(g.lon0 + static_cast<std::int64_t>(w.lastCol) * g.dlon);
  h.fileSouthLat = static_cast<std::int32_t>(g.lat0 - static_cast<std::int64_t>(w.lastRow) * g.dlat);
  // The window is clamped to the grid, whose nx and ny are int16, so R and C always fit.
  h.gridRows = static_cast<std::int16_t>(w.rows());
  h.gridCols = static_cast<std::int16_t>(w.cols());
  h.cellLonStep = stepField(g.dlon, divisor);
  h.cellLatStep = stepField(g.dlat, divisor);
  h.noDataValue = -1;
  return h;
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

// The checks that need no archive file, then pass 1, then the checks of the window and, for
// an RMD file, of the field widths. Nothing is written by any of them.
enum class Limits { RmdFile, None };
Status planRun(const AnalysisConditions& c, RunLayout& layout, Limits limits = Limits::RmdFile) {
  if (c.archiveFiles.empty()) return Status::failure(std::string(messages::kPeriodNotSet));
  layout.days = periodDays(c);
  if (layout.days < 1 || static_cast<std::int64_t>(c.archiveFiles.size()) > layout.days) {
    return Status::failure(std::string(messages::kPeriodDoesNotMatchCatalogue));
  }
  const AreaBounds area = areaOf(c);
  if (area.westLon > area.eastLon || area.northLat < area.southLat) {
    return Status::failure(std::string(messages::kAreaInverted));
  }
  layout.framesPerDay = framesPerDay(c.periodYear[0], c.periodMonth[0]);
  const std::int64_t frames = layout.days * layout.framesPerDay;
  if (limits == Limits::RmdFile && frames > kInt16Max) {
    return Status::failure(mostDaysMessage(messages::kPeriodTooLong, kInt16Max / layout.framesPerDay, layout.days));
  }

  if (Status s = readReferenceGrid(c.archiveFiles, layout.grid); !s) return s;
  if (!areaOverlapsGrid(layout.grid, area)) return Status::failure(std::string(messages::kAreaOutsideGrid));
  layout.window = areaWindow(layout.grid, area);

  const int divisor = eraDivisor(c.periodYear[0], c.periodMonth[0]);
  if (std::lrint(static_cast<double>(std::max(layout.grid.dlon, layout.grid.dlat)) / divisor) > kInt16Max) {
    return Status::failure(std::string(messages::kGridSpacingTooLarge));
  }
  const std::int64_t cells = static_cast<std::int64_t>(layout.window.rows()) * layout.window.cols();
  if (limits == Limits::RmdFile && lastFrameOffset(layout.framesPerDay, layout.days, cells) > kRmdMaxOffset) {
    const std::int64_t mostDays = mostDaysForOffsets(layout.framesPerDay, cells);
    if (mostDays < 1) return Status::failure(std::string(messages::kNoDayFitsArea));
    return Status::failure(mostDaysMessage(messages::kPeriodTooLongForArea, mostDays, layout.days));
  }
  layout.header = headerFor(layout.grid, layout.window, frames, divisor);
  return Status::success();
}

// The records of one archive file that become frames: at most one day's worth.
std::size_t recordsKept(std::size_t records, int perDay) noexcept {
  return std::min(records, static_cast<std::size_t>(perDay));
}

// Pass 2: the index entries of every record, with frame offset 0.
Status writeIndex(const std::vector<std::string>& files, const RunLayout& layout, RmdWriter& writer) {
  for (std::size_t f = 0; f < files.size(); ++f) {
    ArchiveHeader header;
    if (Status s = readArchiveHeader(files[f], header); !s) return s;
    const std::size_t kept = recordsKept(header.records.size(), layout.framesPerDay);
    for (std::size_t j = 0; j < kept; ++j) {
      writer.setEntry(static_cast<int>(f * static_cast<std::size_t>(layout.framesPerDay) + j),
                      header.records[j].stamp);
    }
  }
  return Status::success();
}

void copyWindow(std::span<const std::int16_t> grid, int nx, const AreaWindow& w, std::int16_t* frame) noexcept {
  const auto cols = static_cast<std::size_t>(w.cols());
  for (int r = w.firstRow; r <= w.lastRow; ++r) {
    const std::int16_t* row = grid.data() + static_cast<std::size_t>(r) * static_cast<std::size_t>(nx);
    std::memcpy(frame, row + w.firstCol, cols * sizeof(std::int16_t));
    frame += cols;
  }
}

// Pass 3: decode every kept record into the grid buffer and hand its window on as frame k.
using FrameHandler = std::function<Status(int k, const TimeStamp& stamp, std::span<const std::int16_t> cells)>;
Status decodeFrames(const std::vector<std::string>& files, const RunLayout& layout, const FrameHandler& handle,
                    const PreprocessCallbacks& callbacks) {
  // Sized at the first record: only a file that holds records has been checked to be large
  // enough for its grid, so a file of none cannot make the run allocate what it claims.
  std::vector<std::int16_t> grid;
  std::vector<std::int16_t> frame;
  const int fileCount = static_cast<int>(files.size());
  for (int f = 0; f < fileCount; ++f) {
    if (callbacks.yield) callbacks.yield();
    if (callbacks.progress) callbacks.progress(f + 1, fileCount);
    ArchiveFile archive;
    if (Status s = archive.load(files[static_cast<std::size_t>(f)]); !s) return s;
    // The file may have changed since pass 1; the grid buffer is sized for the reference.
    if (!(archive.grid() == layout.grid)) return Status::failure(std::string(messages::kGridMismatch));
    const std::size_t kept = recordsKept(archive.records().size(), layout.framesPerDay);
    if (kept > 0 && grid.empty()) {
      grid.resize(layout.grid.cellCount());
      frame.resize(layout.header.cellCount());
    }
    for (std::size_t j = 0; j < kept; ++j) {
      if (Status s = archive.decodeRecord(j, grid); !s) return s;
      copyWindow(grid, layout.grid.nx, layout.window, frame.data());
      const int k = f * layout.framesPerDay + static_cast<int>(j);
      if (Status s = handle(k, archive.records()[j].stamp, frame); !s) return s;
    }
  }
  return Status::success();
}

}  // namespace

std::string outputRmdPath(const AnalysisConditions& c) {
  const std::string name = rmdFileName(regionCodeForName(c.areaName), c.periodYear[0], c.periodMonth[0],
                                       c.periodDay[0], c.periodYear[1], c.periodMonth[1], c.periodDay[1]);
  if (!c.archiveDir.empty() && c.archiveDir.back() == '/') return c.archiveDir + name;
  return c.archiveDir + "/" + name;
}

PreprocessResult runPreprocessing(const AnalysisConditions& conditions, const std::filesystem::path& output,
                                  const PreprocessCallbacks& callbacks) {
  PreprocessResult result;
  RunLayout layout;
  result.status = planRun(conditions, layout);
  if (!result.status) return result;
  result.layoutDecided = true;
  result.halfHourly = layout.framesPerDay == 48 ? 1 : 0;
  result.outFrameCount = layout.header.frameCount;

  RmdWriter writer;
  result.status = writer.create(output, layout.header, layout.framesPerDay);
  if (result.status) result.status = writeIndex(conditions.archiveFiles, layout, writer);
  const auto writeFrame = [&writer](int k, const TimeStamp&, std::span<const std::int16_t> cells) {
    return writer.writeFrame(k, cells);
  };
  if (result.status) result.status = decodeFrames(conditions.archiveFiles, layout, writeFrame, callbacks);
  if (result.status) result.status = writer.commit();
  return result;
}

Status streamPeriodFrames(const AnalysisConditions& conditions, const FrameStream& stream,
                          const PreprocessCallbacks& callbacks) {
  RunLayout layout;
  if (Status s = planRun(conditions, layout, Limits::None); !s) return s;
  layout.header.frameCount = 0;
  if (Status s = stream.begin(layout.header, layout.framesPerDay); !s) return s;
  return decodeFrames(conditions.archiveFiles, layout, stream.frame, callbacks);
}

void applyPreprocessResult(const PreprocessResult& result, AnalysisConditions& conditions) noexcept {
  if (!result.layoutDecided) return;
  conditions.halfHourly = result.halfHourly;
  conditions.outFrameCount = result.outFrameCount;
}

}  // namespace ombrix::core
