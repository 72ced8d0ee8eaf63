#include "core/region_table.h"

#include <gtest/gtest.h>

#include "core/analysis_conditions.h"
#include "core/messages.h"

namespace ombrix::core {
namespace {

TEST(RegionTable, CodesForNamesAreExact) {
  EXPECT_EQ(regionCodeForName("関東"), "Ka");
  EXPECT_EQ(regionCodeForName("全国"), "AJ");
  EXPECT_EQ(regionCodeForName("沖縄"), "Ok");
  EXPECT_EQ(regionCodeForName("任意のエリア"), "My");
  EXPECT_EQ(regionCodeForName(""), "My");
  EXPECT_EQ(regionCodeForName("関東 "), "My");
}

TEST(RegionTable, NamesForCodesAreCaseSensitive) {
  EXPECT_EQ(regionNameForCode("Ho"), std::optional<std::string_view>("北海道"));
  EXPECT_EQ(regionNameForCode("My"), std::optional<std::string_view>("任意のエリア"));
  EXPECT_EQ(regionNameForCode("AJ"), std::optional<std::string_view>("全国"));
  EXPECT_FALSE(regionNameForCode("ho"));
  EXPECT_FALSE(regionNameForCode("Xx"));
  EXPECT_FALSE(regionNameForCode(""));
}

TEST(RegionTable, PresetsAreMicrodegreesAndTheUserAreaHasNone) {
  EXPECT_EQ(regionPreset(0), (AreaBounds{139000000, 46000000, 147000000, 41000000}));
  EXPECT_EQ(regionPreset(4), (AreaBounds{130000000, 37500000, 136000000, 32000000}));
  EXPECT_EQ(regionPreset(6), (AreaBounds{121500000, 31000000, 130500000, 22000000}));
  EXPECT_FALSE(regionPreset(8));
  EXPECT_FALSE(regionPreset(-1));
  EXPECT_FALSE(regionPreset(9));
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
