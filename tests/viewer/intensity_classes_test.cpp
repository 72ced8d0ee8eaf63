#include "viewer/intensity_classes.h"

#include <gtest/gtest.h>

#include <vector>

namespace ombrix::viewer {
namespace {

TEST(ColourClasses, EveryBoundaryOfBothScales) {
  const std::vector<std::array<int, 3>> cases = {  // value, intensity class, accumulation class
      {-32768, 0, 0}, {-5, 0, 0},   {-1, 0, 0},   {0, 0, 0},     {1, 1, 1},     {9, 1, 1},     {10, 2, 1},
      {99, 2, 1},     {100, 3, 1},  {199, 3, 1},  {200, 4, 1},   {399, 4, 1},   {400, 5, 1},   {599, 5, 1},
      {600, 6, 1},    {799, 6, 1},  {800, 7, 1},  {999, 7, 1},   {1000, 7, 2},  {1999, 7, 2},  {2000, 7, 3},
      {3999, 7, 3},   {4000, 7, 4}, {5999, 7, 4}, {6000, 7, 5},  {7999, 7, 5},  {8000, 7, 6},  {9999, 7, 6},
      {10000, 7, 7},  {32767, 7, 7}};
  for (const auto& [value, intensity, accumulation] : cases) {
    EXPECT_EQ(classifyIntensity(static_cast<std::int16_t>(value), -1).number, intensity) << value;
    EXPECT_EQ(classifyAccumulation(static_cast<std::int16_t>(value), -1).number, accumulation) << value;
  }
  EXPECT_EQ(classifyIntensity(799, -1).colour, (Colour{255, 100, 0}));
  EXPECT_EQ(classifyIntensity(150, -1).colour, (Colour{255, 255, 0}));  // yellow before green
  EXPECT_EQ(classifyIntensity(250, -1).colour, (Colour{0, 255, 0}));
  EXPECT_EQ(classifyIntensity(0, -1).colour, kWhite);
}

TEST(ColourClasses, PositiveNoDataMarker) {
  EXPECT_FALSE(classifyIntensity(9999, 9999).wet());
  EXPECT_FALSE(classifyAccumulation(9999, 9999).wet());
  EXPECT_EQ(classifyIntensity(9998, 9999).number, 7);
  EXPECT_EQ(classifyAccumulation(9998, 9999).number, 6);
}

TEST(ColourClasses, LookupTableAgreesWithClassificationForEveryValue) {
  std::vector<std::uint32_t> table(kValueCount);
  for (const ClassScale scale : {ClassScale::Intensity, ClassScale::Accumulation}) {
    for (const int noData : {-1, 0, 5, 9999, 32767, -32768}) {
      const auto marker = static_cast<std::int16_t>(noData);
      fillClassColours(scale, marker, 0, table.data());
      for (int v = -32768; v <= 32767; ++v) {
        const auto value = static_cast<std::int16_t>(v);
        const ColourClass cls =
            scale == ClassScale::Intensity ? classifyIntensity(value, marker) : classifyAccumulation(value, marker);
        ASSERT_EQ(table[static_cast<std::uint16_t>(value)], cls.wet() ? cls.colour.argb() : 0u) << v << " " << noData;
      }
    }
  }
}

}  // namespace
}  // namespace ombrix::viewer
