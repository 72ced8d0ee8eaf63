#include "export/csv_number_format.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/number_text.h"

namespace ombrix::exports {
namespace {

std::string commaValue(std::int16_t value) {
  char buffer[16];
  return std::string(buffer, writeCommaValue(buffer, value));
}

TEST(CellCoordinates, SinglePrecisionRecipe) {
  // The 関東 window of the 2.5 km grid: 137 E, 39 N, steps of 31250 and 20833 microdegrees.
  EXPECT_EQ(core::formatSingle(cellLongitude(137'000'000, 31'250, 7)), "137.2188");
  EXPECT_EQ(core::formatSingle(cellLongitude(137'000'000, 31'250, 144)), "141.5");
  EXPECT_EQ(core::formatSingle(cellLatitude(39'000'000, 20'833, 1)), "38.97917");
  EXPECT_EQ(core::formatSingle(cellLatitude(39'000'000, 20'833, 240)), "34.00008");
}

TEST(CommaValue, SignedDecimalOfEverySixteenBitValue) {
  for (const auto& [value, text] : std::vector<std::pair<std::int16_t, std::string>>{
           {0, ",0"}, {-1, ",-1"}, {139, ",139"}, {-32768, ",-32768"}, {32767, ",32767"}}) {
    EXPECT_EQ(commaValue(value), text);
  }
  char buffer[32];
  EXPECT_EQ(std::string(buffer, writeInteger(buffer, 1234567890123)), "1234567890123");
}

}  // namespace
}  // namespace ombrix::exports
