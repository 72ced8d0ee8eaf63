#include "core/grib2_import.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <map>
#include <optional>
#include <system_error>

#include "core/archive_calendar.h"
#include "core/messages.h"
#include "core/output_file.h"
#include "core/rap_encoder.h"

namespace ombrix::core {

namespace {

constexpr int kSlotsPerDay = 48;
constexpr std::chrono::hours kJapanOffset{9};

std::string withPath(std::string_view message, const std::filesystem::path& path) {
  return std::string(message) + path.string();
}

bool hasRainfallSuffix(const std::filesystem::path& path) {
  const std::string name = path.filename().string();
  return name.size() >= kGrib2RainfallSuffix.size() &&
         name.compare(name.size() - kGrib2RainfallSuffix.size(), kGrib2RainfallSuffix.size(),
                      kGrib2RainfallSuffix) == 0;
}

void addFolder(const std::filesystem::path& folder, std::vector<std::filesystem::path>& files,
               std::vector<std::string>& problems) {
  std::error_code error;
  const auto options = std::filesystem::directory_options::skip_permission_denied;
  for (std::filesystem::recursive_directory_iterator it(folder, options, error), end; !error && it != end;
       it.increment(error)) {
    std::error_code typeError;
    if (it->is_regular_file(typeError) && hasRainfallSuffix(it->path())) files.push_back(it->path());
  }
  if (error) problems.push_back(withPath(messages::kGrib2Unreadable, folder));
}

// One half hour of a day: the file that fills it and what its header said.
struct Slot {
  std::filesystem::path file;
  Grib2Field header;
};

using DaySlots = std::array<std::optional<Slot>, kSlotsPerDay>;

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
                                      const Grib2ImportOptions& options, std::vector<std::string>& problems) {
  std::map<DayKey, DaySlots> days;
  for (const std::filesystem::path& file : files) {
    Slot slot{file, {}};
    if (Status s = readGrib2File(file, slot.header, Grib2Content::HeaderOnly); !s) {
      problems.push_back(s.message);
      continue;
    }
    GridDescription grid;
    if (!archiveGridOf(slot.header.grid, grid)) {
      problems.push_back(withPath(messages::kGrib2GridTooLarge, file));
      continue;
    }
    HalfHourSlot place;
    if (!halfHourSlotOf(slot.header.accumulationEnd, options, place)) {
      problems.push_back(withPath(messages::kGrib2NotOnHalfHour, file));
      continue;
    }
    std::optional<Slot>& target = days[keyOf(place.day)][static_cast<std::size_t>(place.index)];
    if (target) {
      problems.push_back(withPath(messages::kGrib2DuplicateTime, file));
      continue;
    }
    target = std::move(slot);
  }
  return days;
}

// The day's level table: no data, then every value any of its messages can hold, ascending.
std::vector<std::int16_t> dayLevelTable(const DaySlots& slots) {
  std::vector<std::int16_t> table{-1};
  for (const std::optional<Slot>& slot : slots) {
    if (slot) table.insert(table.end(), slot->header.levelValues.begin() + 1, slot->header.levelValues.end());
  }
  std::sort(table.begin(), table.end());
  table.erase(std::unique(table.begin(), table.end()), table.end());
  return table;
}

// Level code of the day table for each level of one message.
std::vector<std::uint8_t> codeMap(const std::vector<std::int16_t>& levelValues, const std::vector<std::int16_t>& table) {
  std::vector<std::uint8_t> codes(levelValues.size());
  for (std::size_t m = 0; m < levelValues.size(); ++m) {
    codes[m] = static_cast<std::uint8_t>(std::lower_bound(table.begin(), table.end(), levelValues[m]) - table.begin());
  }
  return codes;
}

TimeStamp slotStamp(const DayKey& day, int index) {
  return {static_cast<std::int16_t>(day.year), static_cast<std::uint8_t>(day.month), static_cast<std::uint8_t>(day.day),
          static_cast<std::uint8_t>(index / 2), static_cast<std::uint8_t>(index % 2 * 30)};
}

class DayImport {
 public:
  DayImport(const DayKey& day, DaySlots& slots, std::vector<std::string>& problems)
      : day_(day), slots_(slots), problems_(problems) {}

  // Leaves out the half hours whose grid differs from the day's first message.
  void keepOneGrid() {
    const Grib2LatLonGrid* first = nullptr;
    for (std::optional<Slot>& slot : slots_) {
      if (!slot) continue;
      if (first == nullptr) {
        first = &slot->header.grid;
        archiveGridOf(*first, contents_.grid);
      } else if (!(slot->header.grid == *first)) {
        problems_.push_back(withPath(messages::kGrib2GridDiffers, slot->file));
        slot.reset();
      }
    }
  }

  bool levelsFit() {
    contents_.levels = dayLevelTable(slots_);
    return contents_.levels.size() <= 256;
  }

  // Decodes and compresses every half hour; false when no message of the day could be decoded.
  bool encodeRecords(const std::function<void()>& fileDone) {
    contents_.records.resize(kSlotsPerDay);
    std::vector<bool> filled(kSlotsPerDay, false);
    for (int j = 0; j < kSlotsPerDay; ++j) {
      contents_.records[static_cast<std::size_t>(j)].stamp = slotStamp(day_, j);
      if (!slots_[static_cast<std::size_t>(j)]) continue;
      if (decode(*slots_[static_cast<std::size_t>(j)])) {
        if (!runsChosen_) chooseRuns();
        contents_.records[static_cast<std::size_t>(j)].stream = encodeRecordStream(codes_, contents_.runs);
        filled[static_cast<std::size_t>(j)] = true;
      }
      if (fileDone) fileDone();
    }
    if (!runsChosen_) return false;
    codes_.assign(contents_.grid.cellCount(), 0);  // code 0 is no data (-1 sorts first)
    const Bytes empty = encodeRecordStream(codes_, contents_.runs);
    for (int j = 0; j < kSlotsPerDay; ++j) {
      if (!filled[static_cast<std::size_t>(j)]) contents_.records[static_cast<std::size_t>(j)].stream = empty;
    }
    return true;
  }

  Status write(const std::filesystem::path& path) const {
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    if (error) return Status::failure(withPath(messages::kCannotCreateFolder, path.parent_path()));
    OutputFile file;
    if (Status s = file.open(path); !s) return s;
    if (Status s = file.write(assembleArchive(contents_)); !s) return s;
    return file.commit();
  }

 private:
  bool decode(const Slot& slot) {
    if (Status s = readGrib2File(slot.file, field_); !s) {
      problems_.push_back(s.message);
      return false;
    }
    // The file may have changed since its header was read.
    if (!(field_.grid == slot.header.grid) || field_.levelValues != slot.header.levelValues) {
      problems_.push_back(withPath(messages::kGrib2GridDiffers, slot.file));
      return false;
    }
    const std::vector<std::uint8_t> map = codeMap(field_.levelValues, contents_.levels);
    codes_.resize(field_.levels.size());
    std::transform(field_.levels.begin(), field_.levels.end(), codes_.begin(),
                   [&map](std::uint8_t level) { return map[level]; });
    return true;
  }

  // The run table is chosen on the day's first decoded half hour: rain patterns of one day are
  // alike, and holding one grid of codes keeps memory at one message.
  void chooseRuns() {
    contents_.runs = chooseRunTable(std::span<const std::vector<std::uint8_t>>(&codes_, 1));
    runsChosen_ = true;
  }

  DayKey day_;
  DaySlots& slots_;
  std::vector<std::string>& problems_;
  ArchiveContents contents_;
  Grib2Field field_;
  std::vector<std::uint8_t> codes_;
  bool runsChosen_ = false;
};

}  // namespace

std::vector<std::filesystem::path> collectGrib2Files(std::span<const std::filesystem::path> inputs,
                                                     std::vector<std::string>& problems) {
  std::vector<std::filesystem::path> files;
  for (const std::filesystem::path& input : inputs) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(input, error);
    if (std::filesystem::is_directory(status)) {
      addFolder(input, files, problems);
    } else if (std::filesystem::exists(status)) {
      files.push_back(input);
    } else {
      problems.push_back(withPath(messages::kGrib2InputMissing, input));
    }
  }
  std::sort(files.begin(), files.end());
  files.erase(std::unique(files.begin(), files.end()), files.end());
  return files;
}

bool archiveGridOf(const Grib2LatLonGrid& grid, GridDescription& out) noexcept {
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

Grib2ImportResult importGrib2Files(std::span<const std::filesystem::path> files,
                                   const std::filesystem::path& archiveDir, const Grib2ImportOptions& options,
                                   const std::function<void(int, int)>& progress) {
  Grib2ImportResult result;
  std::map<DayKey, DaySlots> days = placeFiles(files, options, result.problems);
  int total = 0;
  for (const auto& entry : days) {
    for (const std::optional<Slot>& slot : entry.second) total += slot.has_value() ? 1 : 0;
  }
  int done = 0;
  const std::function<void()> fileDone = [&] {
    if (progress) progress(++done, total);
  };
  for (auto& [key, slots] : days) {
    const std::filesystem::path path = archiveFilePath(archiveDir.string(), key.year, key.month, key.day);
    DayImport day(key, slots, result.problems);
    day.keepOneGrid();
    if (!day.levelsFit()) {
      result.problems.push_back(std::string(messages::kArchiveTooManyLevels) + path.string());
      ++result.daysFailed;
      continue;
    }
    if (!day.encodeRecords(fileDone)) continue;  // every file of the day was refused, each reported
    if (Status s = day.write(path); !s) {
      result.problems.push_back(s.message);
      ++result.daysFailed;
      continue;
    }
    result.daysWritten.push_back(path);
  }
  return result;
}

}  // namespace ombrix::core
