#include "core/archive_calendar.h"

#include <utility>

#include "core/number_text.h"

namespace ombrix::core {

namespace {

bool isLeapYear(int year) noexcept { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

}  // namespace

int archiveEra(int year, int month) noexcept {
  const std::pair yearMonth{year, month};
  if (yearMonth < std::pair{2001, 4}) return 0;
  if (yearMonth < std::pair{2003, 6}) return 1;
  if (yearMonth < std::pair{2006, 1}) return 2;
  return 3;
}

bool firstEra(int year, int month) noexcept { return archiveEra(year, month) == 0; }

bool halfHourlyEra(int year, int month) noexcept { return archiveEra(year, month) >= 2; }

char monthCode(int month) noexcept {
  if (month >= 1 && month <= 9) return static_cast<char>('0' + month);
  if (month >= 10 && month <= 12) return static_cast<char>('A' + month - 10);
  return '?';
}

int daysInMonth(int year, int month) noexcept {
  switch (month) {
    case 1: case 3: case 5: case 7: case 8: case 10: case 12: return 31;
    case 4: case 6: case 9: case 11: return 30;
    case 2: return isLeapYear(year) ? 29 : 28;
    default: return 0;
  }
}

std::string archiveFilePath(std::string_view archiveDir, int year, int month, int day) {
  const std::string yearText = std::to_string(year);
  const char code = monthCode(month);
  std::string path(archiveDir);
  if (!path.empty() && path.back() != '/') path += '/';
  path.append(yearText).append(1, '/').append(1, code).append(1, '/');
  return path.append("J").append(yearText).append(1, code).append(twoDigits(day)).append(".RAP");
}

}  // namespace ombrix::core
