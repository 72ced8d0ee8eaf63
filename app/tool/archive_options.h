#pragma once
// Options the archive commands share: a period's dates and the archive directory.
#include <optional>
#include <string>

#include "core/archive_calendar.h"

namespace ombrix::tool {

struct Date {
  int year = 0;
  int month = 0;
  int day = 0;
};

// "YYYY-MM-DD" with a month 1-12 and a day 1-31; whether the day exists is left to the
// archive lookup, as in the period dialog.
std::optional<Date> parseDate(const std::string& text);

// The directory as the directory dialog reports it: absolute, without a trailing separator
// except for the root.
std::string archiveDirectory(const std::string& text);

// The period from two "YYYY-MM-DD" texts; nothing when one is not a date.
std::optional<core::PeriodDates> periodOf(const std::string& from, const std::string& to);

}  // namespace ombrix::tool
