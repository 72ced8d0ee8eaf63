#include "core/area_frames.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <future>
#include <limits>
#include <map>
#include <memory>
#include <mutex>

#include "core/ordered_work.h"

namespace ombrix::core {

namespace {

std::chrono::year_month_day periodDate(const PeriodDates& period, std::size_t i) {
  using namespace std::chrono;
  return year_month_day{year{period.year[i]}, month{static_cast<unsigned>(period.month[i])},
                        day{static_cast<unsigned>(period.day[i])}};
}

// Calendar days from the start to the end of the period, both included; 0 when a date does not exist.
std::int64_t periodDays(const PeriodDates& period) {
  using std::chrono::sys_days;
  const std::chrono::year_month_day start = periodDate(period, 0);
  const std::chrono::year_month_day end = periodDate(period, 1);
  if (!start.ok() || !end.ok()) return 0;
  return std::max<std::int64_t>((sys_days{end} - sys_days{start}).count() + 1, 0);
}

std::int16_t stepField(std::int32_t spacing, int divisor) noexcept {
  return static_cast<std::int16_t>(std::lrint(static_cast<double>(spacing) / divisor));
}

RmdHeader headerFor(const GridDescription& g, const AreaWindow& w, int divisor) noexcept {
  RmdHeader h;
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

// The records of one archive file that become frames: at most one day's worth.
std::size_t recordsKept(std::size_t records, int perDay) noexcept {
  return std::min(records, static_cast<std::size_t>(perDay));
}

// The grid index of each cell of a frame of the layout's cellsRead; one past the grid for a cell
// outside the window, which is then no data.
std::vector<std::size_t> gridCellsRead(const AreaFrameLayout& layout) {
  const auto cols = static_cast<std::size_t>(layout.window.cols());
  const std::size_t windowCells = layout.header.cellCount();
  std::vector<std::size_t> cells;
  cells.reserve(layout.cellsRead.size());
  for (const std::uint32_t c : layout.cellsRead) {
    const std::size_t row = static_cast<std::size_t>(layout.window.firstRow) + c / cols;
    const std::size_t col = static_cast<std::size_t>(layout.window.firstCol) + c % cols;
    cells.push_back(c < windowCells ? row * static_cast<std::size_t>(layout.grid.nx) + col : layout.grid.cellCount());
  }
  return cells;
}

// Decodes record j of archive row by row into frame: the window's part of each row, or the
// cells of cellsRead (gridCellsRead) in turn, those outside the window no data. The grid is
// never written whole.
Status decodeFrame(const ArchiveFile& archive, std::size_t j, const AreaFrameLayout& layout,
                   std::span<const std::size_t> cellsRead, std::int16_t* frame) {
  const AreaWindow& w = layout.window;
  const auto nx = static_cast<std::size_t>(layout.grid.nx);
  std::size_t listed = 0;
  const Status decoded = archive.decodeRecordRows(j, [&](std::size_t r, std::span<const std::int16_t> row) {
    if (!layout.cellsRead.empty()) {
      for (const std::size_t rowStart = r * nx; listed < cellsRead.size() && cellsRead[listed] < rowStart + nx; ++listed) {
        frame[listed] = row[cellsRead[listed] - rowStart];
      }
    } else if (r >= static_cast<std::size_t>(w.firstRow) && r <= static_cast<std::size_t>(w.lastRow)) {
      const auto cols = static_cast<std::size_t>(w.cols());
      std::memcpy(frame + (r - static_cast<std::size_t>(w.firstRow)) * cols, row.data() + w.firstCol,
                  cols * sizeof(std::int16_t));
    }
  });
  std::fill(frame + listed, frame + cellsRead.size(), std::int16_t{-1});
  return decoded;
}

}  // namespace

Status planPeriodAndArea(const PeriodDates& period, const AreaBounds& area, AreaFrameLayout& layout) {
  if (!periodDate(period, 0).ok() || !periodDate(period, 1).ok()) return {Problem::PeriodDayNotInCalendar};
  layout.days = periodDays(period);
  if (layout.days < 1) return {Problem::PeriodEndBeforeStart};
  if (area.westLon > area.eastLon || area.northLat < area.southLat) return {Problem::AreaInverted};
  layout.framesPerDay = framesPerDay(period.year[0], period.month[0]);
  layout.eraDivisor = eraDivisor(period.year[0], period.month[0]);
  return {};
}

Status checkCatalogue(const std::vector<std::string>& archiveFiles, const PeriodDates& period) {
  if (archiveFiles.empty()) return {Problem::PeriodNotSet};
  if (static_cast<std::int64_t>(archiveFiles.size()) > periodDays(period)) {
    return {Problem::PeriodDoesNotMatchCatalogue};
  }
  return {};
}

Status readReferenceGrid(const std::vector<std::string>& files, GridDescription& reference) {
  for (std::size_t f = 0; f < files.size(); ++f) {
    ArchiveHeader header;
    if (Status s = readArchiveHeader(files[f], header); !s) return s;
    if (f == 0) {
      reference = header.grid;
    } else if (!(header.grid == reference)) {
      return {Problem::ArchiveGridsDiffer};
    }
  }
  return {};
}

Status fitAreaWindow(const AreaBounds& area, AreaFrameLayout& layout) {
  if (!areaOverlapsGrid(layout.grid, area)) return {Problem::AreaOutsideGrid};
  layout.window = areaWindow(layout.grid, area);
  const double largestStep = static_cast<double>(std::max(layout.grid.dlon, layout.grid.dlat)) / layout.eraDivisor;
  if (std::lrint(largestStep) > std::numeric_limits<std::int16_t>::max()) {
    return {Problem::GridSpacingTooLarge};
  }
  layout.header = headerFor(layout.grid, layout.window, layout.eraDivisor);
  return {};
}

namespace {

// Runs of records decoded at once, runs decoded ahead of the caller, and the cells those may
// hold together: a run is as many frames as fit (at least one, at most a file's), so that
// handing it on costs little beside decoding it.
constexpr int kDecoders = 2;
constexpr std::size_t kRunsAhead = 3;
constexpr std::size_t kCellsAhead = std::size_t{1} << 22;

// One archive file as the decoders share it: read, parsed and checked against the reference.
struct LoadedFile {
  ArchiveFile archive;
  Status status;
  std::size_t kept = 0;  // the records that become frames
};
using SharedFile = std::shared_ptr<const LoadedFile>;

SharedFile loadFile(const std::string& path, const AreaFrameLayout& layout) {
  auto file = std::make_shared<LoadedFile>();
  file->status = file->archive.load(path);
  // The file may have changed since the grid check; the grid buffer is sized for the reference.
  if (file->status && !(file->archive.grid() == layout.grid)) file->status = {Problem::ArchiveGridsDiffer};
  if (file->status) file->kept = recordsKept(file->archive.records().size(), layout.framesPerDay);
  return file;
}

// The files of a stream, each loaded once by the first decoder that asks for it. The kRunsAhead
// runs in hand lie in at most two files, unless each run is a whole file (asked for once), so
// older ones are let go (a decoder still reading one holds its own share).
class SharedFiles {
 public:
  SharedFiles(const std::vector<std::string>& paths, const AreaFrameLayout& layout) : paths_(paths), layout_(layout) {}

  SharedFile get(std::size_t f) {
    std::promise<SharedFile> loading;
    std::shared_future<SharedFile> file;
    bool first = false;
    {
      const std::lock_guard lock(mutex_);
      const auto [at, inserted] = files_.try_emplace(f);
      if (inserted) at->second = loading.get_future().share();
      file = at->second;
      first = inserted;
      std::erase_if(files_, [f](const auto& entry) { return entry.first + 1 < f; });
    }
    if (first) loading.set_value(loadFile(paths_[f], layout_));
    return file.get();
  }

 private:
  const std::vector<std::string>& paths_;
  const AreaFrameLayout& layout_;
  std::mutex mutex_;
  std::map<std::size_t, std::shared_future<SharedFile>> files_;
};

// Records first .. first + count - 1 of a file, those it keeps: the frame of each (the listed
// cells, or the window), in order, with their records' stamps, and why the stream stops after them.
struct DecodedRun {
  std::vector<std::int16_t> cells;  // frame n at n x the frame's cells
  std::vector<TimeStamp> stamps;    // one per frame decoded
  Status status;
};

void decodeRun(const LoadedFile& file, std::size_t first, std::size_t count, const AreaFrameLayout& layout,
               std::span<const std::size_t> cellsRead, DecodedRun& out) {
  out.stamps.clear();
  out.status = file.status;
  const std::size_t frameCells = layout.frameCellCount();
  for (std::size_t j = first; out.status && j < std::min(first + count, file.kept); ++j) {
    // Sized at the first record: only a file that holds records has been checked to be large
    // enough for its grid, so a file of none cannot make the run allocate what it claims.
    if (out.cells.size() < count * frameCells) out.cells.resize(count * frameCells);
    out.status = decodeFrame(file.archive, j, layout, cellsRead, out.cells.data() + out.stamps.size() * frameCells);
    if (!out.status) return;
    out.stamps.push_back(file.archive.records()[j].stamp);
  }
}

// The frames decoded on the caller's thread, one record after another.
Status streamOnCaller(const std::vector<std::string>& files, const AreaFrameLayout& layout,
                      const OperationCallbacks& callbacks, const AreaFrameSink& sink) {
  const std::vector<std::size_t> cellsRead = gridCellsRead(layout);
  // Sized at the first record: only a file that holds records has been checked to be large
  // enough for its grid, so a file of none cannot make the run allocate what it claims.
  std::vector<std::int16_t> frame;
  const int fileCount = static_cast<int>(files.size());
  for (int f = 0; f < fileCount; ++f) {
    if (Status s = callbacks.step(f + 1, fileCount); !s) return s;
    const SharedFile file = loadFile(files[static_cast<std::size_t>(f)], layout);
    if (!file->status) return file->status;
    if (file->kept > 0) frame.resize(layout.frameCellCount());
    for (std::size_t j = 0; j < file->kept; ++j) {
      if (Status s = decodeFrame(file->archive, j, layout, cellsRead, frame.data()); !s) return s;
      const std::int64_t k = static_cast<std::int64_t>(f) * layout.framesPerDay + static_cast<std::int64_t>(j);
      if (Status s = sink(k, file->archive.records()[j].stamp, frame); !s) return s;
    }
  }
  return {};
}

// The frames of the layout, decoded on worker threads a few runs ahead.
Status streamOnWorkers(const std::vector<std::string>& files, const AreaFrameLayout& layout,
                       const OperationCallbacks& callbacks, const AreaFrameSink& sink) {
  const auto perFile = static_cast<std::size_t>(layout.framesPerDay);
  const std::size_t frameCells = layout.frameCellCount();
  const std::size_t perRun = std::clamp<std::size_t>(kCellsAhead / kRunsAhead / frameCells, 1, perFile);
  const std::size_t runsPerFile = (perFile + perRun - 1) / perRun;
  const std::vector<std::size_t> cellsRead = gridCellsRead(layout);
  const int fileCount = static_cast<int>(files.size());
  SharedFiles shared(files, layout);
  return runInOrder<DecodedRun>(
      files.size() * runsPerFile, kDecoders, kRunsAhead,
      [&](std::size_t i, DecodedRun& out) {
        decodeRun(*shared.get(i / runsPerFile), i % runsPerFile * perRun, perRun, layout, cellsRead, out);
      },
      [&](std::size_t i, DecodedRun& run) {
        const std::size_t f = i / runsPerFile;
        const std::size_t first = i % runsPerFile * perRun;
        if (first == 0) {
          if (Status s = callbacks.step(static_cast<int>(f) + 1, fileCount); !s) return s;
        }
        for (std::size_t n = 0; n < run.stamps.size(); ++n) {
          const auto k = static_cast<std::int64_t>(f * perFile + first + n);
          const std::span<const std::int16_t> cells(run.cells.data() + n * frameCells, frameCells);
          if (Status s = sink(k, run.stamps[n], cells); !s) return s;
        }
        return run.status;
      });
}

}  // namespace

// A list of cells (an areal analysis) measured 1.3 to 1.7 times faster a day on workers; a whole
// window costs more to hand between cores than its rows take to decode, and stays on the caller's
// thread unless its consumer asks.
Status streamAreaFrames(const std::vector<std::string>& files, const AreaFrameLayout& layout,
                        const OperationCallbacks& callbacks, const AreaFrameSink& sink) {
  return layout.cellsRead.empty() && !layout.wholeWindowsAhead ? streamOnCaller(files, layout, callbacks, sink)
                                                               : streamOnWorkers(files, layout, callbacks, sink);
}

}  // namespace ombrix::core
