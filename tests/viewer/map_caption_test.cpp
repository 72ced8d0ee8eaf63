// Map captions read back from labels, the classes, units and times they state, and the legend's
// scale bar.
#include "viewer/map_caption.h"

#include <gtest/gtest.h>

#include <tuple>

#include "viewer/map_legend.h"

namespace ombrix::viewer {
namespace {

TEST(MapCaption, LabelsGiveKindClassesUnitTitleAndTimesInJstAndUtc) {
  const std::vector<std::tuple<const char*, ClassScale, const char*, const char*, const char*>> cases{
      {"200501010030", ClassScale::Intensity, "1時間雨量", "2005-01-01 00:30 JST", "2004-12-31 15:30 UTC"},
      {"200502282300200503010100-SUM", ClassScale::Accumulation, "累積雨量", "2005-02-28 22:00 – 2005-03-01 01:00 JST",
       "2005-02-28 13:00 – 2005-02-28 16:00 UTC"},
      {"200507010100200507020000-MAX", ClassScale::Intensity, "最大1時間雨量",
       "2005-07-01 00:00 – 2005-07-02 00:00 JST", "2005-06-30 15:00 – 2005-07-01 15:00 UTC"},
      {"200507010100200507020000-MAX6H", ClassScale::ShortDuration, "最大6時間雨量",
       "2005-07-01 00:00 – 2005-07-02 00:00 JST", "2005-06-30 15:00 – 2005-07-01 15:00 UTC"},
      {"200507010100200507020000-MAX7H", ClassScale::Accumulation, "最大7時間雨量",
       "2005-07-01 00:00 – 2005-07-02 00:00 JST", "2005-06-30 15:00 – 2005-07-01 15:00 UTC"},
  };
  for (const auto& [label, scale, title, jst, utc] : cases) {
    const auto caption = mapCaptionOf(label);
    ASSERT_TRUE(caption) << label;
    EXPECT_EQ(std::tuple(classScaleOf(*caption), titleOf(*caption), coveredTime(*caption, Zone::Jst),
                         coveredTime(*caption, Zone::Utc)),
              std::tuple(scale, std::string(title), std::string(jst), std::string(utc)))
        << label;
    EXPECT_EQ(unitOf(*caption), scale == ClassScale::Intensity ? "mm/h" : "mm") << label;
  }
  for (const char* label : {"", "2005010100", "20050101003x", "200501010030200501010100-AVG",
                            "200501010030200501010100-MAXH", "200501010030200501010100-MAX0H", "200501010030-SUM"}) {
    EXPECT_FALSE(mapCaptionOf(label)) << label;
  }
}

TEST(MapLegend, ClassesFromTheHighestDownThenNoDataAndAScaleBarOfRoundKilometres) {
  core::ViewGeometry g;
  g.mapCenterLat = 60'000'000;  // a degree of longitude is 55.66 km
  g.zoom = 1e-4f;               // 100 px a degree: 1.797 px a km
  const MapLegend legend = mapLegendOf(*mapCaptionOf("200507010100200507020000-MAX3H"), g, true, 200);
  ASSERT_EQ(legend.rows.size(), 8u);
  EXPECT_EQ(legend.rows[0].label, "80mm以上");
  EXPECT_EQ(legend.rows[6].label, "1mm未満");
  EXPECT_EQ(legend.rows[7].swatch, kNoDataGrey);
  EXPECT_EQ(legend.unit, "単位：mm");
  EXPECT_EQ(std::tuple(legend.scaleBar.kilometres, legend.scaleBar.pixels), std::tuple(100, 180));
  EXPECT_EQ(scaleBarOf(g, 8).kilometres, 2);
  EXPECT_EQ(scaleBarOf(g, 1).kilometres, 0);  // no round length fits
}

}  // namespace
}  // namespace ombrix::viewer
