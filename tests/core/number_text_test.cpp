#include "core/number_text.h"

#include <gtest/gtest.h>

namespace ombrix::core {
namespace {

TEST(FormatDegrees, PlainDecimalThroughSinglePrecision) {
  EXPECT_EQ(formatDegrees(139000000), "139");
  EXPECT_EQ(formatDegrees(37500000), "37.5");
  EXPECT_EQ(formatDegrees(121500000), "121.5");
  EXPECT_EQ(formatDegrees(35123457), "35.123456");
  EXPECT_EQ(formatDegrees(0), "0");
  EXPECT_EQ(formatDegrees(-5), "-0.000005");
  EXPECT_EQ(formatDegrees(132250000), "132.25");
}

TEST(ParseDegrees, ExactDecimalWithTiesToEven) {
  EXPECT_EQ(parseDegrees("35.123457"), 35123457);
  EXPECT_EQ(parseDegrees("139"), 139000000);
  EXPECT_EQ(parseDegrees("-12.5"), -12500000);
  EXPECT_EQ(parseDegrees(".5"), 500000);
  EXPECT_EQ(parseDegrees("1.0000005"), 1000000);   // tie, even neighbour below
  EXPECT_EQ(parseDegrees("1.0000015"), 1000002);   // tie, even neighbour above
  EXPECT_EQ(parseDegrees("1.00000050001"), 1000001);
  EXPECT_EQ(parseDegrees("2147.483647"), 2147483647);
  EXPECT_EQ(parseDegrees("-2147.483648"), -2147483647 - 1);
}

TEST(ParseDegrees, RefusesWhatIsNotANumberInRange) {
  for (const char* text : {"", " ", "abc", "1.2.3", "12a", "+", "-", ".", "2147.483648", "1e3", "35,5"}) {
    EXPECT_FALSE(parseDegrees(text)) << text;
  }
}

TEST(FormatSingle, SevenSignificantDigitsWithoutExponent) {
  EXPECT_EQ(formatSingle(139.0f), "139");
  EXPECT_EQ(formatSingle(static_cast<float>(139.0 + 0.0125)), "139.0125");
  EXPECT_EQ(formatSingle(static_cast<float>(36.0 - 0.008333)), "35.99167");
  EXPECT_EQ(formatSingle(12345678.0f), "12345680");
  EXPECT_EQ(formatSingle(-0.5f), "-0.5");
}

TEST(ParseWholeNumber, OnlyWholeNumbers) {
  EXPECT_EQ(parseWholeNumber("1234"), 1234);
  EXPECT_EQ(parseWholeNumber("-3"), -3);
  EXPECT_EQ(parseWholeNumber("+7"), 7);
  EXPECT_FALSE(parseWholeNumber(""));
  EXPECT_FALSE(parseWholeNumber("12.0"));
  EXPECT_FALSE(parseWholeNumber("99999999999"));
  EXPECT_FALSE(parseWholeNumber(" 1"));
}

}  // namespace
}  // namespace ombrix::core
