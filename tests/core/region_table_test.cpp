#include "core/region_table.h"

#include <gtest/gtest.h>

#include "core/analysis_conditions.h"
#include "core/messages.h"

namespace ombrix::core {
namespace {

TEST(RegionTable, CodesAndNamesMatchExactly) {
  for (const auto& [name, code] : std::vector<std::pair<const char*, const char*>>{
           {"関東", "Ka"}, {"全国", "AJ"}, {"沖縄", "Ok"}, {"任意のエリア", "My"}, {"", "My"}, {"関東 ", "My"}}) {
    EXPECT_EQ(regionCodeForName(name), code) << name;
  }
  EXPECT_EQ(regionNameForCode("Ho"), std::optional<std::string_view>("北海道"));
  EXPECT_EQ(regionNameForCode("My"), std::optional<std::string_view>("任意のエリア"));
  for (const char* code : {"ho", "Xx", ""}) EXPECT_FALSE(regionNameForCode(code)) << code;
  // The presets' corners are checked where a click shows them (ui/conditions_sequence_test).
  EXPECT_EQ(regionPreset(6), (AreaBounds{121500000, 31000000, 130500000, 22000000}));
  for (int index : {-1, 8}) EXPECT_FALSE(regionPreset(index)) << index;
}

TEST(MissingConditions, ListsEveryMissingConditionInOrder) {
  AnalysisConditions c;
  EXPECT_EQ(missingConditions(c).size(), 3u);  // their order: ui/preprocessing_test
  c.areaSouthLat = 1;
  c.archiveDir = "/data";
  const auto periodOnly = missingConditions(c);
  ASSERT_EQ(periodOnly.size(), 1u);
  EXPECT_EQ(periodOnly[0].condition, Condition::Period);
  c.archiveFileCount = 1;
  EXPECT_TRUE(missingConditions(c).empty());
}

}  // namespace
}  // namespace ombrix::core
