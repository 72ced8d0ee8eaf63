#include "export/csv_number_format.h"

#include <gtest/gtest.h>

#include <string>

#include "core/number_text.h"

namespace ombrix::exports {
namespace {

std::string fields(const CellFieldTexts& texts, int row, int column) {
  char buffer[128];
  return std::string(buffer, texts.write(buffer, row, column));
}

std::string commaValue(std::int16_t value) {
  char buffer[16];
  return std::string(buffer, writeCommaValue(buffer, value));
}

TEST(CellCoordinates, SinglePrecisionRecipe) {
  EXPECT_EQ(core::formatSingle(cellLongitude(139'000'000, 12'500, 0)), "139");
  EXPECT_EQ(core::formatSingle(cellLongitude(139'000'000, 12'500, 1)), "139.0125");
  EXPECT_EQ(core::formatSingle(cellLatitude(36'000'000, 8'333, 1)), "35.99167");
  // The sum is taken in double precision and rounded once: 100 steps of 0.0125 from 139.
  EXPECT_EQ(cellLongitude(139'000'000, 12'500, 100),
            static_cast<float>(static_cast<double>(139.0f) + 100 * (static_cast<double>(12'500.0f) / 1e6)));
  // keido0 goes through a float before and after the division.
  EXPECT_EQ(cellLongitude(123'456'789, 0, 0), static_cast<float>(static_cast<double>(123'456'789.0f) / 1e6));
}

TEST(CellFieldTexts, IdRowColumnLongitudeLatitude) {
  const CellFieldTexts texts(139'000'000, 36'000'000, 12'500, 8'333, 4, 3);
  EXPECT_EQ(fields(texts, 0, 0), "0,0,0,139,36");
  EXPECT_EQ(fields(texts, 2, 1), "9,2,1,139.0125,35.98333");
  EXPECT_EQ(fields(texts, 2, 3), "11,2,3,139.0375,35.98333");
  EXPECT_GE(texts.maxLength(), fields(texts, 2, 3).size());
}

TEST(CommaValue, SignedDecimalOfEverySixteenBitValue) {
  EXPECT_EQ(commaValue(0), ",0");
  EXPECT_EQ(commaValue(-1), ",-1");
  EXPECT_EQ(commaValue(139), ",139");
  EXPECT_EQ(commaValue(-32768), ",-32768");
  EXPECT_EQ(commaValue(32767), ",32767");
  char buffer[32];
  EXPECT_EQ(std::string(buffer, writeInteger(buffer, 1234567890123)), "1234567890123");
}

}  // namespace
}  // namespace ombrix::exports
