#include "core/region_table.h"

#include <gtest/gtest.h>

namespace ombrix::core {
namespace {

// Names and codes are looked up through opening files (viewer/rmd_opening_test) and exports;
// the preset corners of a click are checked in ui/conditions_sequence_test.
TEST(RegionTable, PresetsAndTheirBounds) {
  EXPECT_EQ(regionPreset(6), (AreaBounds{121500000, 31000000, 130500000, 22000000}));
  for (int index : {-1, 8}) EXPECT_FALSE(regionPreset(index)) << index;
  for (const char* code : {"ho", "Xx", ""}) EXPECT_FALSE(regionNameForCode(code)) << code;
}

}  // namespace
}  // namespace ombrix::core
