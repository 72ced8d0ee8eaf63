#pragma once
// The archive calendar: the eras of the archive's record format, the month codes and days of
// the calendar, and where each day's file lies. A leaf: it knows nothing of the program's state.
#include <string>
#include <string_view>

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

}  // namespace ombrix::core
