#pragma once
// The archive calendar: the eras of the archive's record format, where each day's file lies,
// and the period check that catalogues one archive file per day of the analysis period.
#include <array>
#include <functional>
#include <string>
#include <string_view>

#include "core/analysis_conditions.h"
#include "core/problem.h"

namespace ombrix::core {

// 0 up to March 2001, 1 from April 2001, 2 from June 2003 (half-hourly), 3 from 2006.
int archiveEra(int year, int month) noexcept;
// Whether a month lies in the first era (up to March 2001).
bool firstEra(int year, int month) noexcept;
// Whether a month's records are half-hourly (June 2003 on); hourly before.
bool halfHourlyEra(int year, int month) noexcept;
// '1'..'9' for January to September, 'A', 'B', 'C' for October to December; requires 1..12.
char monthCode(int month) noexcept;
// Days of a month of the Gregorian calendar; 0 for a month outside 1..12.
int daysInMonth(int year, int month) noexcept;
// archiveDir/2005/5/J2005507.RAP; a directory that already ends in '/' gets no second one.
std::string archiveFilePath(std::string_view archiveDir, int year, int month, int day);

// Whether the day's file exists; may replace path with the name found on disk when that name
// differs only in letter case.
using FileExists = std::function<bool(std::string& path)>;
// Whether path names an existing regular file: as given, else under a name in its folder that
// differs only in letter case (archives copied from other systems often come in lower case),
// which then replaces the name in path.
bool regularFileExists(std::string& path);

struct PeriodDates {
  std::array<int, 2> year{};   // [0] start, [1] end
  std::array<int, 2> month{};
  std::array<int, 2> day{};
};

// Replaces the period fields (hour and minute 0) and the catalogue: one file per day from the
// start to the end, stopping at the first day whose file is missing. The last finding wins:
// PeriodMissingFile, else PeriodEndBeforeStart, else PeriodMixedFormats. A rejected period
// leaves an empty catalogue (archiveFileCount 0), so it counts as not set. A date that is not a
// day of the calendar has no file.
Status checkPeriod(const PeriodDates& dates, AnalysisConditions& conditions,
                         const FileExists& exists = regularFileExists);

// The six texts of the period dialog: year, month and day of the start and of the end row.
struct PeriodTexts {
  std::array<std::string, 2> year;
  std::array<std::string, 2> month;
  std::array<std::string, 2> day;
};

// Reads the texts as whole numbers (a month must be 1..12) and runs checkPeriod on them; a text
// that is not one is refused naming its row and field, the conditions untouched.
Status checkPeriodTexts(const PeriodTexts& texts, AnalysisConditions& conditions,
                                 const FileExists& exists = regularFileExists);

}  // namespace ombrix::core
