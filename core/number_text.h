#pragma once
// Number texts shown to the user and written to files, independent of the process's locale.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ombrix::core {

// Microdegrees shown in degrees: the value as a 32-bit float, divided by 1,000,000 in double
// precision, in plain decimal with at most 15 significant digits and no trailing zeros
// (139000000 -> "139", 37500000 -> "37.5", 35123457 -> "35.123456").
std::string formatDegrees(std::int32_t microdegrees);

// A typed decimal number of degrees as microdegrees, rounded exactly with ties to even.
// Nothing for an empty text, a text that is not a plain decimal number, or a value outside
// the signed 32-bit range of microdegrees.
std::optional<std::int32_t> parseDegrees(std::string_view text);

// A single-precision value rounded to at most 7 significant digits, trailing zeros and a bare
// decimal point dropped, never an exponent ("139", "139.0125", "35.99167").
std::string formatSingle(float value);
// The same into a caller's buffer (at least 48 bytes); returns the end of the text.
char* formatSingleTo(char* out, float value) noexcept;

// A whole number with a leading zero below 10 ("07", "12"); negative ones as they are ("-3").
std::string twoDigits(int value);

// A whole decimal number, optionally signed, with nothing else around it.
std::optional<std::int32_t> parseWholeNumber(std::string_view text);

}  // namespace ombrix::core
