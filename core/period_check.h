#pragma once
// The period check: the analysis period's dates, and the catalogue of one archive file per day
// of the period that a preprocessing run reads.
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "core/problem.h"

namespace ombrix::core {

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

// A period and its catalogue: the day files of the archive, one per day from start to end.
struct ArchivePeriod {
  PeriodDates dates;
  std::vector<std::string> files;  // empty: the period counts as not set
};

// Replaces period with the dates and the catalogue of the archive in archiveDir: one file per
// day from the start to the end, stopping at the first day whose file is missing. The last
// finding wins: PeriodMissingFile, else PeriodEndBeforeStart, else PeriodMixedFormats. A
// rejected period leaves an empty catalogue, so it counts as not set. A date that is not a day of
// the calendar has no file.
Status checkPeriod(const PeriodDates& dates, const std::string& archiveDir, ArchivePeriod& period,
                   const FileExists& exists = regularFileExists);

// The six texts of the period dialog: year, month and day of the start and of the end row.
struct PeriodTexts {
  std::array<std::string, 2> year;
  std::array<std::string, 2> month;
  std::array<std::string, 2> day;
};

// Reads the texts as whole numbers (a month must be 1..12) and runs checkPeriod on them; a text
// that is not one is refused naming its row and field, period untouched.
Status checkPeriodTexts(const PeriodTexts& texts, const std::string& archiveDir, ArchivePeriod& period,
                        const FileExists& exists = regularFileExists);

}  // namespace ombrix::core
