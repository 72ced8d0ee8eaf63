#include "import/grib2_frames.h"

#include <algorithm>

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
    std::optional<Placed>& target = slots_[static_cast<std::size_t>(day * kHalfHoursPerDay + slot.index)];
    if (target) {
      skip({core::Problem::Grib2DuplicateTime, file});
      continue;
    }
    target = Placed{file, header.grid};
  }
}

const Grib2Frames::Placed* Grib2Frames::keepOneGrid() {
  const Placed* first = nullptr;
  for (std::optional<Placed>& slot : slots_) {
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
  const Placed* first = keepOneGrid();
  if (first == nullptr) return {core::Problem::Grib2NoFileInPeriod};
  archiveGridOf(first->grid, layout.grid);
  return core::fitAreaWindow(area, layout);
}

bool Grib2Frames::decodeWindow(const Placed& slot, const core::AreaFrameLayout& layout,
                               std::span<std::int16_t> frame) {
  if (core::Status s = readGrib2File(slot.file, field_); !s) {
    skip(std::move(s));
    return false;
  }
  // The file may have changed since its header was read.
  if (!(field_.grid == slot.grid)) {
    skip({core::Problem::Grib2PeriodGridDiffers, slot.file});
    return false;
  }
  const core::AreaWindow& w = layout.window;
  const auto nx = static_cast<std::size_t>(field_.grid.ni);
  std::int16_t* out = frame.data();
  for (int r = w.firstRow; r <= w.lastRow; ++r) {
    const std::uint8_t* row = field_.levels.data() + static_cast<std::size_t>(r) * nx;
    for (int c = w.firstCol; c <= w.lastCol; ++c) *out++ = field_.levelValues[row[c]];
  }
  return true;
}

core::Status Grib2Frames::stream(const core::AreaFrameLayout& layout, const core::PreprocessCallbacks& callbacks,
                                 const core::AreaFrameSink& sink) {
  const int kept = std::min(kHalfHoursPerDay, layout.framesPerDay);
  std::vector<std::int16_t> frame(layout.header.cellCount());
  const int dayCount = static_cast<int>(layout.days);
  for (int d = 0; d < dayCount; ++d) {
    if (callbacks.yield) callbacks.yield();
    if (callbacks.progress) callbacks.progress(d + 1, dayCount);
    const std::chrono::year_month_day day{firstDay_ + std::chrono::days{d}};
    for (int j = 0; j < kept; ++j) {
      const std::optional<Placed>& slot = slots_[static_cast<std::size_t>(d * kHalfHoursPerDay + j)];
      if (!slot || !decodeWindow(*slot, layout, frame)) std::fill(frame.begin(), frame.end(), std::int16_t{-1});
      const std::int64_t k = static_cast<std::int64_t>(d) * layout.framesPerDay + j;
      if (core::Status s = sink(k, halfHourStamp(day, j), frame); !s) return s;
    }
  }
  return {};
}

std::unique_ptr<core::FrameSource> frameSourceFor(const core::FrameRequest& request) {
  if (request.fromGrib2()) return std::make_unique<Grib2Frames>(request);
  return std::make_unique<core::ArchiveFrames>(request);
}

}  // namespace ombrix::import
