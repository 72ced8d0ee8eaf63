#include "core/period_check.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>
#include <tuple>

#include "core/archive_calendar.h"
#include "core/number_text.h"

namespace ombrix::core {

namespace {

struct Date {
  int year;
  int month;
  int day;
  auto key() const noexcept { return std::tie(year, month, day); }
  bool operator<(const Date& other) const noexcept { return key() < other.key(); }
};

bool isCalendarDate(const Date& d) noexcept { return d.day >= 1 && d.day <= daysInMonth(d.year, d.month); }

// Appends the file of every day from start to end; false at the first day without a file.
bool catalogueArchive(const Date& start, const Date& end, const std::string& archiveDir,
                      std::vector<std::string>& files, const FileExists& exists) {
  files.clear();
  if (end < start) return true;  // no day lies in the period
  if (!isCalendarDate(start) || !isCalendarDate(end)) return false;
  for (int y = start.year; y <= end.year; ++y) {
    const int lastMonth = y == end.year ? end.month : 12;
    for (int m = y == start.year ? start.month : 1; m <= lastMonth; ++m) {
      const bool firstMonth = y == start.year && m == start.month;
      const int lastDay = y == end.year && m == end.month ? end.day : daysInMonth(y, m);
      for (int d = firstMonth ? start.day : 1; d <= lastDay; ++d) {
        std::string path = archiveFilePath(archiveDir, y, m, d);
        if (!exists(path)) return false;
        files.push_back(std::move(path));
      }
    }
  }
  return true;
}

bool sameIgnoringCase(std::string_view a, std::string_view b) noexcept {
  const auto lower = [](char ch) { return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch; };
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

std::string_view trimmed(std::string_view text) noexcept {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

}  // namespace

bool regularFileExists(std::string& path) {
  namespace fs = std::filesystem;
  std::error_code error;
  if (fs::is_regular_file(path, error)) return true;
  const fs::path wanted(path);
  const fs::path folder = wanted.has_parent_path() ? wanted.parent_path() : fs::path(".");
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    if (sameIgnoringCase(it->path().filename().string(), wanted.filename().string()) &&
        fs::is_regular_file(it->path(), error)) {
      path = it->path().string();
      return true;
    }
  }
  return false;
}

Status checkPeriod(const PeriodDates& dates, const std::string& archiveDir, ArchivePeriod& period,
                   const FileExists& exists) {
  period.dates = dates;
  const Date start{dates.year[0], dates.month[0], dates.day[0]};
  const Date end{dates.year[1], dates.month[1], dates.day[1]};

  Problem problem = Problem::None;
  if (archiveEra(start.year, start.month) != archiveEra(end.year, end.month)) problem = Problem::PeriodMixedFormats;
  if (end < start) problem = Problem::PeriodEndBeforeStart;
  if (!catalogueArchive(start, end, archiveDir, period.files, exists)) problem = Problem::PeriodMissingFile;
  // A rejected period must not leave a catalogue a preprocessing run could use.
  if (problem == Problem::PeriodMixedFormats || problem == Problem::PeriodMissingFile) period.files.clear();
  return {problem};
}

Status checkPeriodTexts(const PeriodTexts& texts, const std::string& archiveDir, ArchivePeriod& period,
                        const FileExists& exists) {
  PeriodDates dates;
  for (int row = 0; row < 2; ++row) {
    const auto i = static_cast<std::size_t>(row);
    const bool start = row == 0;
    const std::optional<std::int32_t> year = parseWholeNumber(trimmed(texts.year[i]));
    if (!year) return {start ? Problem::PeriodStartYearNotNumber : Problem::PeriodEndYearNotNumber};
    const std::optional<std::int32_t> month = parseWholeNumber(trimmed(texts.month[i]));
    if (!month) return {start ? Problem::PeriodStartMonthNotNumber : Problem::PeriodEndMonthNotNumber};
    if (*month < 1 || *month > 12) {
      return {start ? Problem::PeriodStartMonthOutOfRange : Problem::PeriodEndMonthOutOfRange};
    }
    const std::optional<std::int32_t> day = parseWholeNumber(trimmed(texts.day[i]));
    if (!day) return {start ? Problem::PeriodStartDayNotNumber : Problem::PeriodEndDayNotNumber};
    dates.year[i] = *year;
    dates.month[i] = *month;
    dates.day[i] = *day;
  }
  return checkPeriod(dates, archiveDir, period, exists);
}

}  // namespace ombrix::core
