#include "app/tool/archive_options.h"

#include <charconv>
#include <filesystem>

namespace ombrix::tool {

std::optional<Date> parseDate(const std::string& text) {
  Date date;
  const char* p = text.data();
  const char* end = p + text.size();
  const auto field = [&](int& value, std::size_t digits, bool last) {
    const auto [next, error] = std::from_chars(p, end, value);
    if (error != std::errc() || static_cast<std::size_t>(next - p) != digits) return false;
    p = next;
    if (last) return p == end;
    if (p == end || *p != '-') return false;
    ++p;
    return true;
  };
  if (!field(date.year, 4, false) || !field(date.month, 2, false) || !field(date.day, 2, true)) return std::nullopt;
  if (date.month < 1 || date.month > 12 || date.day < 1 || date.day > 31) return std::nullopt;
  return date;
}

std::string archiveDirectory(const std::string& text) {
  std::string dir = std::filesystem::absolute(text).lexically_normal().string();
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  return dir;
}

std::optional<core::PeriodDates> periodOf(const std::string& from, const std::string& to) {
  const auto start = parseDate(from);
  const auto end = parseDate(to);
  if (!start || !end) return std::nullopt;
  return core::PeriodDates{{start->year, end->year}, {start->month, end->month}, {start->day, end->day}};
}

}  // namespace ombrix::tool
