// Number texts and the region table.
#include "core/number_text.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "core/region_table.h"

namespace ombrix::core {
namespace {

TEST(DegreeText, FormatsPlainDecimalsAndParsesExactlyWithTiesToEven) {
  for (const auto& [value, text] : std::vector<std::pair<std::int32_t, const char*>>{
           {139000000, "139"}, {37500000, "37.5"}, {35123457, "35.123456"}, {0, "0"}, {-5, "-0.000005"},
           {132250000, "132.25"}}) {
    EXPECT_EQ(formatDegrees(value), text) << value;
  }
  // Ties to the even neighbour below and above; the extreme 32-bit values.
  for (const auto& [text, value] : std::vector<std::pair<const char*, std::int32_t>>{
           {"35.123457", 35123457}, {"139", 139000000}, {"-12.5", -12500000}, {".5", 500000},
           {"1.0000005", 1000000}, {"1.0000015", 1000002}, {"1.00000050001", 1000001},
           {"2147.483647", 2147483647}, {"-2147.483648", -2147483647 - 1}}) {
    EXPECT_EQ(parseDegrees(text), value) << text;
  }
  for (const char* text : {"", " ", "abc", "1.2.3", "12a", "+", "-", ".", "2147.483648", "1e3", "35,5"}) {
    EXPECT_FALSE(parseDegrees(text)) << text;
  }
}

TEST(FormatSingle, SevenSignificantDigitsWithoutExponentAndWholeNumbersOnly) {
  for (const auto& [value, text] : std::vector<std::pair<float, const char*>>{
           {139.0f, "139"}, {static_cast<float>(139.0 + 0.0125), "139.0125"},
           {static_cast<float>(36.0 - 0.008333), "35.99167"}, {12345678.0f, "12345680"}, {-0.5f, "-0.5"}}) {
    EXPECT_EQ(formatSingle(value), text);
  }
  EXPECT_EQ((std::array{parseWholeNumber("1234"), parseWholeNumber("-3"), parseWholeNumber("+7")}),
            (std::array<std::optional<std::int32_t>, 3>{1234, -3, 7}));
  for (const char* text : {"", "12.0", "99999999999", " 1"}) EXPECT_FALSE(parseWholeNumber(text)) << text;
}

// Names and codes are looked up through opening files (viewer/rmd_opening_test) and exports;
// the preset corners of a click are checked in ui/conditions_sequence_test.
TEST(RegionTable, IndicesOutsideThePresetsHaveNone) {
  for (int index : {-1, 8}) EXPECT_FALSE(regionPreset(index)) << index;
}

}  // namespace
}  // namespace ombrix::core
