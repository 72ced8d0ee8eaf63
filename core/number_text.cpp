#include "core/number_text.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace ombrix::core {

namespace {

// Drops trailing zeros of a fraction and then a bare decimal point.
char* trimFraction(char* begin, char* end) noexcept {
  if (std::memchr(begin, '.', static_cast<std::size_t>(end - begin)) == nullptr) return end;
  while (end > begin && end[-1] == '0') --end;
  if (end > begin && end[-1] == '.') --end;
  return end;
}

// Plain decimal text of value rounded to `significant` significant digits.
char* plainDecimal(char* out, char* limit, double value, int significant) noexcept {
  if (value == 0) {
    *out = '0';
    return out + 1;
  }
  const int exponent = static_cast<int>(std::floor(std::log10(std::fabs(value))));
  const int decimals = std::max(0, significant - 1 - exponent);
  if (exponent >= significant) {
    const double scale = std::pow(10.0, exponent + 1 - significant);
    value = std::nearbyint(value / scale) * scale;
  }
  const auto result = std::to_chars(out, limit, value, std::chars_format::fixed, decimals);
  return trimFraction(out, result.ptr);
}

bool isDigit(char c) noexcept { return c >= '0' && c <= '9'; }

}  // namespace

std::string formatDegrees(std::int32_t microdegrees) {
  char buffer[64];
  const double degrees = static_cast<double>(static_cast<float>(microdegrees)) / 1'000'000.0;
  char* end = plainDecimal(buffer, buffer + sizeof buffer, degrees, 15);
  return std::string(buffer, end);
}

std::optional<std::int32_t> parseDegrees(std::string_view text) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  std::int64_t whole = 0;
  std::int64_t micro = 0;
  int wholeDigits = 0;
  int fractionDigits = 0;
  bool pastHalf = false;  // the dropped digits exceed exactly one half
  int roundingDigit = -1;
  for (; i < text.size() && isDigit(text[i]); ++i, ++wholeDigits) {
    whole = whole * 10 + (text[i] - '0');
    if (whole > 1'000'000) return std::nullopt;
  }
  if (i < text.size() && text[i] == '.') {
    for (++i; i < text.size() && isDigit(text[i]); ++i, ++fractionDigits) {
      const int digit = text[i] - '0';
      if (fractionDigits < 6) {
        micro = micro * 10 + digit;
      } else if (fractionDigits == 6) {
        roundingDigit = digit;
      } else if (digit != 0) {
        pastHalf = true;
      }
    }
  }
  if (i != text.size() || wholeDigits + fractionDigits == 0) return std::nullopt;
  for (int d = fractionDigits; d < 6; ++d) micro *= 10;
  std::int64_t value = whole * 1'000'000 + micro;
  if (roundingDigit > 5 || (roundingDigit == 5 && (pastHalf || value % 2 == 1))) ++value;
  if (negative) value = -value;
  if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(value);
}

char* formatSingleTo(char* out, float value) noexcept {
  char* limit = out + 48;
  const auto result = std::to_chars(out, limit, value, std::chars_format::general, 7);
  if (std::memchr(out, 'e', static_cast<std::size_t>(result.ptr - out)) == nullptr) return result.ptr;
  return plainDecimal(out, limit, static_cast<double>(value), 7);
}

std::string formatSingle(float value) {
  char buffer[48];
  return std::string(buffer, formatSingleTo(buffer, value));
}

std::optional<std::int32_t> parseWholeNumber(std::string_view text) {
  std::int32_t value = 0;
  const char* begin = text.data();
  const char* end = text.data() + text.size();
  if (begin != end && *begin == '+') ++begin;
  const auto result = std::from_chars(begin, end, value);
  if (begin == end || result.ec != std::errc() || result.ptr != end) return std::nullopt;
  return value;
}

std::string twoDigits(int value) {
  std::string text = std::to_string(value);
  return value >= 0 && value < 10 ? "0" + text : text;
}

}  // namespace ombrix::core
