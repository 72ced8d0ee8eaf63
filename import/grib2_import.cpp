#include "import/grib2_import.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <map>
#include <cstdio>
#include <optional>
#include <system_error>

#include "core/archive_calendar.h"
#include "core/messages.h"
#include "core/output_file.h"
#include "core/rap_encoder.h"

namespace ombrix::import {

namespace {

constexpr int kSlotsPerDay = 48;
constexpr std::chrono::hours kJapanOffset{9};

bool hasRainfallSuffix(const std::filesystem::path& path) {
  const std::string name = path.filename().string();
  return name.size() >= kGrib2RainfallSuffix.size() &&
         name.compare(name.size() - kGrib2RainfallSuffix.size(), kGrib2RainfallSuffix.size(),
                      kGrib2RainfallSuffix) == 0;
}

void addFolder(const std::filesystem::path& folder, std::vector<std::filesystem::path>& files,
               std::vector<core::Status>& problems) {
  std::error_code error;
  const auto options = std::filesystem::directory_options::skip_permission_denied;
  for (std::filesystem::recursive_directory_iterator it(folder, options, error), end; !error && it != end;
       it.increment(error)) {
    std::error_code typeError;
    if (it->is_regular_file(typeError) && hasRainfallSuffix(it->path())) files.push_back(it->path());
  }
  if (error) problems.push_back({core::Problem::Grib2Unreadable, folder});
}

// One half hour of a day: the file that fills it and what its header said of the grid and the
// levels (not the bytes read, which would make the memory grow with the files placed).
struct Slot {
  std::filesystem::path file;
  Grib2LatLonGrid grid;
  std::vector<std::int16_t> levelValues;
};

using DaySlots = std::array<std::optional<Slot>, kSlotsPerDay>;

struct DayCounts : Grib2ImportCounts {
  int files = 0;  // files placed in the day
};

struct DayKey {
  int year, month, day;
  auto operator<=>(const DayKey&) const = default;
};

DayKey keyOf(const std::chrono::year_month_day& d) {
  return {static_cast<int>(d.year()), static_cast<int>(static_cast<unsigned>(d.month())),
          static_cast<int>(static_cast<unsigned>(d.day()))};
}

// Reads the headers of all files and sorts them into days and half hours; files that cannot be
// placed are reported and left out.
std::map<DayKey, DaySlots> placeFiles(std::span<const std::filesystem::path> files,
                                      const Grib2ImportOptions& options, std::vector<core::Status>& problems) {
  std::map<DayKey, DaySlots> days;
  Grib2Field header;
  for (const std::filesystem::path& file : files) {
    if (core::Status s = readGrib2File(file, header, Grib2Content::HeaderOnly); !s) {
      problems.push_back(std::move(s));
      continue;
    }
    core::GridDescription grid;
    if (!archiveGridOf(header.grid, grid)) {
      problems.push_back({core::Problem::Grib2GridTooLarge, file});
      continue;
    }
    HalfHourSlot place;
    if (!halfHourSlotOf(header.accumulationEnd, options, place)) {
      problems.push_back({core::Problem::Grib2NotOnHalfHour, file});
      continue;
    }
    std::optional<Slot>& target = days[keyOf(place.day)][static_cast<std::size_t>(place.index)];
    if (target) {
      problems.push_back({core::Problem::Grib2DuplicateTime, file});
      continue;
    }
    target = Slot{file, header.grid, header.levelValues};
  }
  return days;
}

// The day's level table: no data, the levels of the day file already there, then every value any
// of the new messages can hold; ascending. A level stays once it is in a day file, so importing
// a day in parts gives the same table as importing it at once.
std::vector<std::int16_t> dayLevelTable(const DaySlots& slots, std::span<const std::int16_t> existing) {
  std::vector<std::int16_t> table{-1};
  table.insert(table.end(), existing.begin(), existing.end());
  for (const std::optional<Slot>& slot : slots) {
    if (slot) table.insert(table.end(), slot->levelValues.begin() + 1, slot->levelValues.end());
  }
  std::sort(table.begin(), table.end());
  table.erase(std::unique(table.begin(), table.end()), table.end());
  return table;
}

// Index in the day table of each value (all of them are in it).
template <typename Values>
std::vector<std::uint8_t> codeMap(const Values& values, const std::vector<std::int16_t>& table) {
  std::vector<std::uint8_t> codes(values.size());
  for (std::size_t m = 0; m < values.size(); ++m) {
    codes[m] = static_cast<std::uint8_t>(std::lower_bound(table.begin(), table.end(), values[m]) - table.begin());
  }
  return codes;
}

core::TimeStamp slotStamp(const DayKey& day, int index) {
  using namespace std::chrono;
  return halfHourStamp(year_month_day{year{day.year}, month{static_cast<unsigned>(day.month)},
                                      std::chrono::day{static_cast<unsigned>(day.day)}},
                       index);
}

// Code 0 is no data (-1 sorts first): a record of nothing else is a half hour without data.
bool holdsData(std::span<const std::uint8_t> codes) {
  return std::any_of(codes.begin(), codes.end(), [](std::uint8_t code) { return code != 0; });
}

// Whether the day file is one the importer can add to: the same grid, the day's 48 half hours,
// and no level below no data (-1), which must stay code 0.
bool mergeable(const core::ArchiveFile& file, const core::GridDescription& grid, const DayKey& day) {
  if (!(file.grid() == grid) || file.records().size() != kSlotsPerDay) return false;
  if (std::ranges::any_of(file.levels(), [](std::int16_t level) { return level < -1; })) return false;
  for (int j = 0; j < kSlotsPerDay; ++j) {
    if (!(file.records()[static_cast<std::size_t>(j)].stamp == slotStamp(day, j))) return false;
  }
  return true;
}

// Whether every record of the day file decodes: with --replace a day file that cannot be added to
// must be known before any of its records is kept, since the day is then made from the new files alone.
bool decodesWhole(const core::ArchiveFile& file) {
  std::vector<std::int16_t> cells(file.grid().cellCount());
  for (std::size_t j = 0; j < file.records().size(); ++j) {
    if (!file.decodeRecord(j, cells)) return false;
  }
  return true;
}

// What merging a day's files with its day file came to: records to write, nothing new to
// write, or a day file that cannot be added to and is kept.
enum class Merge { Changed, Unchanged, Kept, Cancelled };

class DayImport {
 public:
  DayImport(const DayKey& day, DaySlots& slots, const Grib2ImportOptions& options, std::vector<core::Status>& problems)
      : day_(day), slots_(slots), options_(options), problems_(problems) {
    for (const std::optional<Slot>& slot : slots_) counts_.files += slot ? 1 : 0;
  }

  // Leaves out the half hours whose grid differs from the day's first message.
  void keepOneGrid() {
    const Grib2LatLonGrid* first = nullptr;
    for (std::optional<Slot>& slot : slots_) {
      if (!slot) continue;
      if (first == nullptr) {
        first = &slot->grid;
        archiveGridOf(*first, contents_.grid);
      } else if (!(slot->grid == *first)) {
        refuse({core::Problem::Grib2GridDiffers, slot->file});
        slot.reset();
      }
    }
  }

  // Reads the day file already at path, if any, to add to it. False when there is one that
  // cannot be added to and it is to be kept (without options.replace): the day's files are
  // then left out, each counted, and the file is named in problems.
  bool readExisting(const std::filesystem::path& path) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::not_found) return true;
    core::ArchiveFile file;
    core::Status s = error ? core::Status(core::Problem::ArchiveFileUnreadable, path) : file.load(path.string());
    if (s && !mergeable(file, contents_.grid, day_)) s = {core::Problem::Grib2DayFileDiffers, path};
    if (s && options_.replace && !decodesWhole(file)) s = {core::Problem::ImportDayFileUndecodable, path};
    if (s) {
      existing_ = std::move(file);
      return true;
    }
    return keepExisting(std::move(s), path);
  }

  bool levelsFit() {
    contents_.levels = dayLevelTable(slots_, existing_ ? existing_->levels() : std::span<const std::int16_t>{});
    if (existing_) {
      const std::vector<std::uint8_t> codes = codeMap(existing_->levels(), contents_.levels);
      existingCodes_.assign(codes.begin(), codes.end());
    }
    return contents_.levels.size() <= 256;
  }

  // Decodes every half hour, puts it beside what the day file holds and compresses what stays.
  // fileDone says whether to go on.
  Merge encodeRecords(const std::filesystem::path& path, const std::function<bool()>& fileDone) {
    contents_.records.resize(kSlotsPerDay);
    std::vector<bool> filled(kSlotsPerDay, false);
    for (int j = 0; j < kSlotsPerDay; ++j) {
      const auto at = static_cast<std::size_t>(j);
      contents_.records[at].stamp = slotStamp(day_, j);
      const bool fresh = slots_[at] && decode(*slots_[at]);
      if (slots_[at] && !fileDone()) return Merge::Cancelled;
      const bool old = existing_ && decodeExisting(j);
      if (existing_ && !old && !keepExisting({core::Problem::ImportDayFileUndecodable, path}, path)) {
        return Merge::Kept;
      }
      const std::vector<std::uint8_t>* kept = choose(fresh, old, slots_[at]);
      if (kept == nullptr || !holdsData(*kept)) continue;
      if (!runsChosen_) chooseRuns(*kept);
      contents_.records[at].stream = core::encodeRecordStream(*kept, contents_.runs);
      filled[at] = true;
    }
    for (int j = 0; j < kSlotsPerDay; ++j) {
      if (!filled[static_cast<std::size_t>(j)]) missing_.push_back(j);
    }
    if (counts_.imported == 0) return Merge::Unchanged;
    if (!runsChosen_) chooseRuns(std::vector<std::uint8_t>(contents_.grid.cellCount(), 0));
    const core::Bytes empty =
        core::encodeRecordStream(std::vector<std::uint8_t>(contents_.grid.cellCount(), 0), contents_.runs);
    for (int j = 0; j < kSlotsPerDay; ++j) {
      if (!filled[static_cast<std::size_t>(j)]) contents_.records[static_cast<std::size_t>(j)].stream = empty;
    }
    return Merge::Changed;
  }

  core::Status write(const std::filesystem::path& path) const {
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    if (error) return {core::Problem::CannotCreateFolder, path.parent_path()};
    core::OutputFile file;
    if (core::Status s = file.open(path); !s) return s;
    if (core::Status s = file.write(assembleArchive(contents_)); !s) return s;
    return file.commit();
  }

  const DayCounts& counts() const noexcept { return counts_; }
  bool hasFile() const noexcept { return existing_.has_value(); }
  const std::vector<int>& missing() const noexcept { return missing_; }

 private:
  void refuse(core::Status problem) {
    problems_.push_back(std::move(problem));
    ++counts_.refused;
  }

  // Reports a day file that cannot be added to. With options.replace it is dropped and the day
  // made from the new files alone; otherwise it is kept and the day's files are left out.
  bool keepExisting(core::Status problem, const std::filesystem::path& path) {
    problems_.push_back(std::move(problem));
    existing_.reset();
    if (options_.replace) return true;
    problems_.push_back({core::Problem::Grib2DayFileKept, path});
    return false;
  }

  // What the half hour keeps: the new message, or the record already in the day file when the
  // message could not be read, holds the same values, or differs and is not to replace it.
  const std::vector<std::uint8_t>* choose(bool fresh, bool old, const std::optional<Slot>& slot) {
    const bool present = old && holdsData(existingCells_);
    if (!fresh) return old ? &existingCells_ : nullptr;
    if (present && codes_ == existingCells_) {
      ++counts_.identical;
    } else if (present && !options_.replace) {
      ++counts_.conflicting;
      problems_.push_back({core::Problem::Grib2SlotDiffers, slot->file});
      return &existingCells_;
    } else {
      ++counts_.imported;
    }
    return &codes_;
  }

  bool decode(const Slot& slot) {
    if (core::Status s = readGrib2File(slot.file, field_); !s) {
      refuse(std::move(s));
      return false;
    }
    // The file may have changed since its header was read.
    if (!(field_.grid == slot.grid) || field_.levelValues != slot.levelValues) {
      refuse({core::Problem::Grib2GridDiffers, slot.file});
      return false;
    }
    const std::vector<std::uint8_t> map = codeMap(field_.levelValues, contents_.levels);
    codes_.resize(field_.levels.size());
    std::transform(field_.levels.begin(), field_.levels.end(), codes_.begin(),
                   [&map](std::uint8_t level) { return map[level]; });
    return true;
  }

  // Decodes record j of the day file straight into codes of the day table: the level table it
  // is decoded with holds, for each of the file's levels, that level's code.
  bool decodeExisting(int j) {
    wideCells_.resize(contents_.grid.cellCount());
    if (core::decodeRecordStream(existing_->recordStream(static_cast<std::size_t>(j)), existingCodes_,
                                 existing_->runs(), wideCells_) != core::Problem::None) {
      return false;
    }
    existingCells_.resize(wideCells_.size());
    std::transform(wideCells_.begin(), wideCells_.end(), existingCells_.begin(),
                   [](std::int16_t code) { return static_cast<std::uint8_t>(code); });
    return true;
  }

  // The run table is chosen on the day's first half hour with data, whichever file it comes
  // from: rain patterns of one day are alike, holding one grid of codes keeps memory at one
  // message, and a day imported in parts gets the table it would get if imported at once.
  void chooseRuns(const std::vector<std::uint8_t>& codes) {
    contents_.runs = core::chooseRunTable(std::span<const std::vector<std::uint8_t>>(&codes, 1));
    runsChosen_ = true;
  }

  DayKey day_;
  DaySlots& slots_;
  const Grib2ImportOptions& options_;
  std::vector<core::Status>& problems_;
  DayCounts counts_;
  std::optional<core::ArchiveFile> existing_;
  std::vector<std::int16_t> existingCodes_;
  core::ArchiveContents contents_;
  Grib2Field field_;
  std::vector<std::uint8_t> codes_;
  std::vector<std::int16_t> wideCells_;
  std::vector<std::uint8_t> existingCells_;
  std::vector<int> missing_;
  bool runsChosen_ = false;
};

enum class DayOutcome { Written, Unchanged, Failed, NothingRead, Cancelled };

DayOutcome importDay(DayImport& day, const std::filesystem::path& path, const std::function<bool()>& fileDone,
                     std::vector<core::Status>& problems) {
  day.keepOneGrid();
  if (!day.readExisting(path)) return DayOutcome::Failed;
  if (!day.levelsFit()) {
    problems.push_back({core::Problem::EncodeTooManyLevels, path});
    return DayOutcome::Failed;
  }
  switch (day.encodeRecords(path, fileDone)) {
    case Merge::Kept:
      return DayOutcome::Failed;
    case Merge::Cancelled:
      return DayOutcome::Cancelled;
    case Merge::Unchanged:
      return day.hasFile() ? DayOutcome::Unchanged : DayOutcome::NothingRead;
    case Merge::Changed:
      break;
  }
  if (core::Status s = day.write(path); !s) {
    problems.push_back(std::move(s));
    return DayOutcome::Failed;
  }
  return DayOutcome::Written;
}

// "00:00-02:30, 05:00" for the half hours 0-5 and 10.
std::string halfHourRanges(const std::vector<int>& slots) {
  const auto clock = [](int slot) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d", slot / 2, slot % 2 * 30);
    return std::string(text);
  };
  std::string text;
  for (std::size_t i = 0; i < slots.size();) {
    std::size_t last = i;
    while (last + 1 < slots.size() && slots[last + 1] == slots[last] + 1) ++last;
    if (!text.empty()) text.append(", ");
    text.append(clock(slots[i]));
    if (last > i) text.append("-").append(clock(slots[last]));
    i = last + 1;
  }
  return text;
}

}  // namespace

std::vector<std::filesystem::path> collectGrib2Files(std::span<const std::filesystem::path> inputs,
                                                     std::vector<core::Status>& problems) {
  std::vector<std::filesystem::path> files;
  for (const std::filesystem::path& input : inputs) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(input, error);
    if (std::filesystem::is_directory(status)) {
      addFolder(input, files, problems);
    } else if (std::filesystem::exists(status)) {
      files.push_back(input);
    } else {
      problems.push_back({core::Problem::Grib2InputMissing, input});
    }
  }
  std::sort(files.begin(), files.end());
  files.erase(std::unique(files.begin(), files.end()), files.end());
  return files;
}

bool archiveGridOf(const Grib2LatLonGrid& grid, core::GridDescription& out) noexcept {
  constexpr std::int32_t kMaxCount = std::numeric_limits<std::int16_t>::max();
  const double dlon = std::nearbyint(grid.columnSpacing());
  const double dlat = std::nearbyint(grid.rowSpacing());
  if (grid.ni < 1 || grid.nj < 1 || grid.ni > kMaxCount || grid.nj > kMaxCount || !(dlon >= 1 && dlon <= 360e6) ||
      !(dlat >= 1 && dlat <= 180e6)) {
    return false;
  }
  out = {grid.firstLat, grid.firstLon, static_cast<std::int32_t>(dlon), static_cast<std::int32_t>(dlat),
         static_cast<std::int16_t>(grid.ni), static_cast<std::int16_t>(grid.nj)};
  return true;
}

bool halfHourSlotOf(const Grib2Time& t, const Grib2ImportOptions& options, HalfHourSlot& out) noexcept {
  using namespace std::chrono;
  const year_month_day date{year{t.year}, month{static_cast<unsigned>(t.month)}, day{static_cast<unsigned>(t.day)}};
  if (!date.ok() || t.hour < 0 || t.hour > 23 || (t.minute != 0 && t.minute != 30) || t.second != 0) return false;
  const sys_time<minutes> end = sys_days{date} + hours{t.hour} + minutes{t.minute};
  const sys_time<minutes> local = options.utc ? end : end + kJapanOffset;
  const sys_days localDay = floor<days>(local);
  out.day = year_month_day{localDay};
  out.index = static_cast<int>((local - localDay) / minutes{30});
  return true;
}

core::TimeStamp halfHourStamp(const std::chrono::year_month_day& day, int index) noexcept {
  return {static_cast<std::int16_t>(static_cast<int>(day.year())), static_cast<std::uint8_t>(static_cast<unsigned>(day.month())),
          static_cast<std::uint8_t>(static_cast<unsigned>(day.day())), static_cast<std::uint8_t>(index / 2),
          static_cast<std::uint8_t>(index % 2 * 30)};
}

Grib2ImportResult importGrib2Files(std::span<const std::filesystem::path> files,
                                   const std::filesystem::path& archiveDir, const Grib2ImportOptions& options,
                                   const core::OperationCallbacks& callbacks) {
  Grib2ImportResult result;
  std::map<DayKey, DaySlots> days = placeFiles(files, options, result.problems);
  result.counts.refused = static_cast<int>(result.problems.size());
  int total = 0;
  for (const auto& entry : days) {
    for (const std::optional<Slot>& slot : entry.second) total += slot.has_value() ? 1 : 0;
  }
  int done = 0;
  const std::function<bool()> fileDone = [&] { return static_cast<bool>(callbacks.step(++done, total)); };
  for (auto& [key, slots] : days) {
    const std::filesystem::path path = core::archiveFilePath(archiveDir.string(), key.year, key.month, key.day);
    DayImport day(key, slots, options, result.problems);
    const DayOutcome outcome = importDay(day, path, fileDone, result.problems);
    if (outcome == DayOutcome::Cancelled) {
      result.cancelled = true;
      break;
    }
    const DayCounts& counts = day.counts();
    if (outcome == DayOutcome::Failed) {
      result.counts.refused += counts.files;
      ++result.daysFailed;
      continue;
    }
    result.counts.imported += counts.imported;
    result.counts.identical += counts.identical;
    result.counts.conflicting += counts.conflicting;
    result.counts.refused += counts.refused;
    if (outcome == DayOutcome::Written) result.daysWritten.push_back(path);
    if (outcome == DayOutcome::Unchanged) ++result.daysUnchanged;
    if (outcome != DayOutcome::NothingRead) result.gaps.push_back({path, day.missing()});
  }
  return result;
}

bool importSucceeded(const Grib2ImportResult& result) noexcept {
  return result.counts.imported + result.counts.identical > 0 && result.daysFailed == 0;
}

std::vector<std::string> importSummary(const Grib2ImportResult& result) {
  std::vector<std::string> lines{
      std::string(messages::kImportSummaryDays) + std::to_string(result.daysWritten.size()),
      std::string(messages::kImportSummaryImported) + std::to_string(result.counts.imported)};
  const std::pair<std::string_view, int> skipped[] = {{messages::kImportSummaryIdentical, result.counts.identical},
                                                      {messages::kImportSummaryConflicting, result.counts.conflicting},
                                                      {messages::kImportSummaryRefused, result.counts.refused}};
  for (const auto& [text, count] : skipped) {
    if (count > 0) lines.push_back(std::string(text) + std::to_string(count));
  }
  for (const DayGaps& day : result.gaps) {
    if (day.missing.empty()) continue;
    lines.push_back(std::string(messages::kImportSummaryMissing) + day.file.string() + " " + halfHourRanges(day.missing));
  }
  return lines;
}

}  // namespace ombrix::import
