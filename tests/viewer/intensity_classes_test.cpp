#include "viewer/intensity_classes.h"

#include <gtest/gtest.h>

#include <vector>

namespace ombrix::viewer {
namespace {

struct Case {
  std::int16_t value;
  int number;
};

TEST(IntensityClasses, EveryBoundary) {
  const std::vector<Case> cases = {{-32768, 0}, {-5, 0}, {-1, 0}, {0, 0},   {1, 1},   {9, 1},     {10, 2},
                                   {99, 2},     {100, 3}, {199, 3}, {200, 4}, {399, 4}, {400, 5},   {599, 5},
                                   {600, 6},    {799, 6}, {800, 7}, {32767, 7}};
  for (const Case& c : cases) EXPECT_EQ(classifyIntensity(c.value, -1).number, c.number) << c.value;
  EXPECT_EQ(classifyIntensity(9, -1).colour, (Colour{0, 0, 255}));
  EXPECT_EQ(classifyIntensity(150, -1).colour, (Colour{255, 255, 0}));
  EXPECT_EQ(classifyIntensity(250, -1).colour, (Colour{0, 255, 0}));
  EXPECT_EQ(classifyIntensity(799, -1).colour, (Colour{255, 100, 0}));
  EXPECT_EQ(classifyIntensity(0, -1).colour, kWhite);
}

TEST(AccumulationClasses, EveryBoundary) {
  const std::vector<Case> cases = {{-1, 0},   {0, 0},    {1, 1},    {999, 1},  {1000, 2}, {1999, 2},  {2000, 3},
                                   {3999, 3}, {4000, 4}, {5999, 4}, {6000, 5}, {7999, 5}, {8000, 6},  {9999, 6},
                                   {10000, 7}, {32767, 7}};
  for (const Case& c : cases) EXPECT_EQ(classifyAccumulation(c.value, -1).number, c.number) << c.value;
  EXPECT_EQ(classifyAccumulation(10000, -1).colour, (Colour{255, 0, 0}));
}

TEST(ColourClasses, PositiveNoDataMarker) {
  EXPECT_FALSE(classifyIntensity(9999, 9999).wet());
  EXPECT_EQ(classifyIntensity(9998, 9999).number, 7);
  EXPECT_FALSE(classifyAccumulation(9999, 9999).wet());
  EXPECT_EQ(classifyAccumulation(9998, 9999).number, 6);
  EXPECT_EQ(classifyIntensity(-1, 9999).number, 0);
}

TEST(ColourClasses, LookupTableAgreesWithClassificationForEveryValue) {
  std::vector<std::uint32_t> table(kValueCount);
  for (const ClassScale scale : {ClassScale::Intensity, ClassScale::Accumulation}) {
    for (const std::int16_t noData : {std::int16_t{-1}, std::int16_t{0}, std::int16_t{5}, std::int16_t{9999},
                                      std::int16_t{32767}, std::int16_t{-32768}}) {
      fillClassColours(scale, noData, 0, table.data());
      for (int v = -32768; v <= 32767; ++v) {
        const auto value = static_cast<std::int16_t>(v);
        const ColourClass cls =
            scale == ClassScale::Intensity ? classifyIntensity(value, noData) : classifyAccumulation(value, noData);
        ASSERT_EQ(table[static_cast<std::uint16_t>(value)], cls.wet() ? cls.colour.argb() : 0u) << v << " " << noData;
      }
    }
  }
}

TEST(Legends, SwatchesAndLabelsInTwoColumnsOfFour) {
  const LegendEntry& orange = intensityLegend()[5];
  EXPECT_EQ(orange.shapeIndex, 15);
  EXPECT_EQ(orange.labelIndex, 16);
  EXPECT_EQ(orange.swatch, (Colour{255, 128, 0}));
  EXPECT_EQ(orange.swatchX, 136);
  EXPECT_EQ(orange.swatchY, 40);
  EXPECT_EQ(orange.labelX, 160);
  const LegendEntry& green = accumulationLegend()[3];
  EXPECT_EQ(green.label, "400 -600mm");
  EXPECT_EQ(green.labelIndex, 15);
  EXPECT_EQ(green.swatchY, 88);
  EXPECT_EQ(accumulationLegend()[4].swatch, (Colour{255, 128, 255}));
}

}  // namespace
}  // namespace ombrix::viewer
