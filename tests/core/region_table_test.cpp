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
}

TEST(RegionTable, PresetsAreMicrodegreesAndTheUserAreaHasNone) {
  EXPECT_EQ(regionPreset(0), (AreaBounds{139000000, 46000000, 147000000, 41000000}));
  EXPECT_EQ(regionPreset(6), (AreaBounds{121500000, 31000000, 130500000, 22000000}));
  for (int index : {-1, 8, 9}) EXPECT_FALSE(regionPreset(index)) << index;
  for (int i = 0; i < 8; ++i) {
    const AreaBounds b = *regionPreset(i);
    for (std::int32_t v : {b.westLon, b.northLat, b.eastLon, b.southLat}) EXPECT_EQ(v % 500000, 0);
  }
}

TEST(MissingConditions, ListsEveryMissingConditionInOrder) {
  AnalysisConditions c;
  const auto all = missingConditions(c);
  ASSERT_EQ(all.size(), 3u);
  EXPECT_EQ(all[0].message, messages::kAreaNotSet);
  EXPECT_EQ(all[1].message, messages::kPeriodNotSet);
  EXPECT_EQ(all[2].message, messages::kArchiveDirNotSet);
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
