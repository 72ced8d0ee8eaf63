#include "import/grib2_frames.h"

#include <algorithm>

#include "core/ordered_work.h"

#include "import/grib2_import.h"

namespace ombrix::import {

namespace {

constexpr int kHalfHoursPerDay = 48;

}  // namespace

void Grib2Frames::skip(core::Status problem) const {
  if (request_.skipped) request_.skipped(problem);
}

void Grib2Frames::place(const std::vector<std::filesystem::path>& files, std::int64_t days) {
  slots_.assign(static_cast<std::size_t>(days * kHalfHoursPerDay), std::nullopt);
  const Grib2ImportOptions options{request_.utc, false};
  Grib2Field header;
  for (const std::filesystem::path& file : files) {
    if (core::Status s = readGrib2File(file, header, Grib2Content::HeaderOnly); !s) {
      skip(std::move(s));
      continue;
    }
    core::GridDescription grid;
    if (!archiveGridOf(header.grid, grid)) {
      skip({core::Problem::Grib2GridTooLarge, file});
      continue;
    }
    HalfHourSlot slot;
    if (!halfHourSlotOf(header.accumulationEnd, options, slot)) {
      skip({core::Problem::Grib2NotOnHalfHour, file});
      continue;
    }
    const std::int64_t day = (std::chrono::sys_days{slot.day} - firstDay_).count();
    if (day < 0 || day >= days) continue;
    std::optional<Slot>& target = slots_[static_cast<std::size_t>(day * kHalfHoursPerDay + slot.index)];
    if (target) {
      skip({core::Problem::Grib2DuplicateTime, file});
      continue;
    }
    target = Slot{file, header.grid, header.earthShape};
  }
}

const Grib2Frames::Slot* Grib2Frames::keepOneGrid() {
  const Slot* first = nullptr;
  for (std::optional<Slot>& slot : slots_) {
    if (!slot) continue;
    if (first == nullptr) {
      first = &*slot;
    } else if (!(slot->grid == first->grid)) {
      skip({core::Problem::Grib2PeriodGridDiffers, slot->file});
      slot.reset();
    }
  }
  return first;
}

core::Status Grib2Frames::plan(const core::AreaBounds& area, core::AreaFrameLayout& layout) {
  const core::PeriodDates& period = request_.period;
  if (core::Status s = core::planPeriodAndArea(period, area, layout); !s) return s;
  using namespace std::chrono;
  firstDay_ = sys_days{year_month_day{year{period.year[0]}, month{static_cast<unsigned>(period.month[0])},
                                      day{static_cast<unsigned>(period.day[0])}}};
  std::vector<core::Status> missing;
  const std::vector<std::filesystem::path> files = collectGrib2Files(request_.grib2Inputs, missing);
  if (!missing.empty()) return missing.front();
  place(files, layout.days);
  const Slot* first = keepOneGrid();
  if (first == nullptr) return {core::Problem::Grib2NoFileInPeriod};
  archiveGridOf(first->grid, layout.grid);
  layout.earthShapeCode = first->earthShape;
  return core::fitAreaWindow(area, layout);
}

namespace {

// Messages decoded at once, and frames decoded ahead of the caller.
constexpr int kDecoders = 2;
constexpr std::size_t kFramesAhead = 4;

// One half hour decoded: the cells of its frame, or the reason its file was left out. A worker
// reuses the buffers from one message to the next. The cells are made without a first value:
// a decode that succeeds writes each of them, any other outcome sets them all to no data.
struct DecodedSlot {
  std::unique_ptr<std::int16_t[]> cells;
  std::size_t cellCount = 0;
  core::Status skipped;
  Grib2Field field;
};

// The frame's cells from the slot's message: the window's, or only those the caller reads; all
// of them no data when there is no message or it cannot be used.
void decodeSlot(const std::optional<Grib2Frames::Slot>& slot, const Grib2WindowTarget& frame, DecodedSlot& out) {
  out.skipped = {};
  if (out.cellCount != frame.valueCount()) {
    out.cellCount = frame.valueCount();
    out.cells = std::make_unique_for_overwrite<std::int16_t[]>(out.cellCount);
  }
  Grib2WindowTarget target = frame;
  target.values = {out.cells.get(), out.cellCount};
  const auto noData = [&] { std::ranges::fill(target.values, std::int16_t{-1}); };
  if (!slot) return noData();
  if (core::Status s = readGrib2File(slot->file, out.field, Grib2Content::Everything, &target); !s) {
    out.skipped = std::move(s);
    return noData();
  }
  // The file may have changed since its header was read.
  if (!(out.field.grid == slot->grid)) {
    out.skipped = {core::Problem::Grib2PeriodGridDiffers, slot->file};
    noData();
  }
}

}  // namespace

core::Status Grib2Frames::stream(const core::AreaFrameLayout& layout, const core::OperationCallbacks& callbacks,
                                 const core::AreaFrameSink& sink) {
  const int kept = std::min(kHalfHoursPerDay, layout.framesPerDay);
  const Grib2WindowTarget frame{
      {layout.window.firstRow, layout.window.lastRow, layout.window.firstCol, layout.window.lastCol},
      layout.cellsRead,
      {}};
  const auto frameCount = static_cast<std::size_t>(layout.days * kept);
  const int dayCount = static_cast<int>(layout.days);
  const auto slotOf = [&](std::size_t i) { return (i / kept) * kHalfHoursPerDay + i % kept; };
  return core::runInOrder<DecodedSlot>(
      frameCount, kDecoders, kFramesAhead,
      [&](std::size_t i, DecodedSlot& out) { decodeSlot(slots_[slotOf(i)], frame, out); },
      [&](std::size_t i, DecodedSlot& decoded) {
        const auto d = static_cast<int>(i / kept);
        const auto j = static_cast<int>(i % kept);
        if (j == 0) {
          if (core::Status s = callbacks.step(d + 1, dayCount); !s) return s;
        }
        if (!decoded.skipped) skip(std::move(decoded.skipped));
        const std::chrono::year_month_day day{firstDay_ + std::chrono::days{d}};
        return sink(static_cast<std::int64_t>(d) * layout.framesPerDay + j, halfHourStamp(day, j),
                    std::span<const std::int16_t>(decoded.cells.get(), decoded.cellCount));
      });
}

std::unique_ptr<core::FrameSource> frameSourceFor(const core::FrameRequest& request) {
  if (request.fromGrib2()) return std::make_unique<Grib2Frames>(request);
  return std::make_unique<core::ArchiveFrames>(request);
}

}  // namespace ombrix::import
