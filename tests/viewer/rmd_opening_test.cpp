#include "viewer/rmd_opening.h"

#include <gtest/gtest.h>

#include <functional>

#include "core/messages.h"
#include "support/sample_rmd.h"

namespace ombrix::viewer {
namespace {

using test::TempDir;

TEST(RmdOpening, ReadsHeaderIndexTextsAndGeometry) {
  TempDir dir;
  core::RmdHeader header = test::sampleGrid(48, 2, 3);
  header.fileNorthLat = 35123457;
  std::vector<core::TimeStamp> stamps = test::dayStamps(2003, 6, 5, 1, 48);
  stamps.front().hour = 9;
  const auto path = dir / "Ka20036052003605.RMD";
  test::writeFrames(path, 2, 3, test::Frames(48, {1, 2, 3, 4, 5, 6}), header, stamps);

  const RmdOpening opening = openRmdFile(path, 689, 593);
  ASSERT_EQ(opening.outcome, OpenOutcome::Opened) << opening.status.message;
  const OpenedRmd& opened = opening.file;
  EXPECT_EQ(opened.timeTexts.front(), "2003/6/5 09: 00");
  EXPECT_EQ(opened.northLatText + " " + opened.westLonText + " " + opened.eastLonText, "35.12346 139 139.025");

  core::AnalysisConditions conditions;
  conditions.areaWestLon = 139000000;
  applyOpening(opening, conditions);
  EXPECT_EQ(conditions.areaWestLon, 139000000);  // the area's bounds stay
  EXPECT_EQ(std::tuple(conditions.frameCount, conditions.frameHourMinute.back(), conditions.rainGrid.size()),
            std::tuple(48, (std::array<std::uint8_t, 2>{23, 30}), 6u));
  EXPECT_EQ(std::pair(conditions.mapWidth, conditions.mapCenterLon), std::pair(37500.0f, 139018750.0f));
}

TEST(RmdOpening, RegionNameComesFromTheFirstTwoCharacters) {
  TempDir dir;
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"Kyanything.RMD", "九州"}, {"AJ.RMD", "全国"}, {"My1.RMD", "任意のエリア"}, {"ho2003.RMD", "北海道"}, {"K", "北海道"}};
  for (const auto& [name, region] : cases) {
    test::writeFrames(dir / name, 1, 1, {{0}});
    core::AnalysisConditions conditions;
    conditions.areaName = "北海道";
    applyOpening(openRmdFile(dir / name, 100, 100), conditions);
    EXPECT_EQ(conditions.areaName, region) << name;
  }
}

TEST(RmdOpening, ScaleFactorAndZoom) {
  TempDir dir;
  core::RmdHeader header = test::sampleGrid(1, 1, 2);
  header.cellLonStep = 15625;
  test::writeFrames(dir / "AJ1.RMD", 1, 2, {{0, 0}}, header, {{2001, 3, 31, 23, 0}});
  test::writeFrames(dir / "AJ2.RMD", 1, 2, {{0, 0}}, header, {{2001, 4, 1, 0, 0}});
  EXPECT_EQ(openRmdFile(dir / "AJ1.RMD", 10, 10).file.geometry.cellWidth, 31250);
  EXPECT_EQ(openRmdFile(dir / "AJ2.RMD", 10, 10).file.geometry.cellWidth, 15625);

  core::RmdHeader square;  // on a surface twice as wide as high
  square.gridRows = square.gridCols = 10;
  square.cellLonStep = square.cellLatStep = 1000;
  square.fileWestLon = 5000;
  square.fileNorthLat = 90000;
  const ViewGeometry g = computeViewGeometry(square, 1, 400, 200);
  EXPECT_EQ(g.zoom, static_cast<float>(0.95 * 200 / 10000));
  EXPECT_EQ(g.viewCenterX, 200.0f);
  EXPECT_EQ(g.mapCenterLon, 10000.0f);
  EXPECT_EQ(g.mapCenterLat, 85000.0f);
}

TEST(RmdOpening, UnusableFilesAreRefusedAndChangeNothing) {
  TempDir dir;
  const std::vector<std::function<void(core::RmdHeader&)>> faults = {
      [](core::RmdHeader& h) { h.frameCount = 0; },    [](core::RmdHeader& h) { h.frameCount = -3; },
      [](core::RmdHeader& h) { h.frameCount = 2; },    // the index ends after one entry
      [](core::RmdHeader& h) { h.gridRows = 0; },      [](core::RmdHeader& h) { h.gridCols = -1; },
      [](core::RmdHeader& h) { h.cellLatStep = 0; },   nullptr};  // nullptr: a 27-byte header
  for (std::size_t k = 0; k < faults.size(); ++k) {
    core::RmdHeader h = test::sampleGrid(1, 1, 1);
    std::vector<std::uint8_t> bytes(38, 0);
    if (faults[k]) faults[k](h);
    core::encodeRmdHeader(h, bytes.data());
    bytes.resize(faults[k] ? 38 : 27);
    const auto path = dir / ("Ka" + std::to_string(k) + ".RMD");
    test::writeBytes(path, bytes);
    core::AnalysisConditions conditions;
    conditions.openRmdPath = "/old/Ho.RMD";
    conditions.areaName = "北海道";
    const RmdOpening opening = openRmdFile(path, 689, 593);
    EXPECT_EQ(opening.outcome, OpenOutcome::NotUsable) << k;
    EXPECT_EQ(opening.status.message, std::string(messages::kNotRmdFile) + path.string()) << k;
    applyOpening(opening, conditions);
    EXPECT_EQ(conditions.openRmdPath + conditions.areaName, "/old/Ho.RMD北海道");
    EXPECT_EQ(conditions.frameCount, 0);
  }
}

}  // namespace
}  // namespace ombrix::viewer
