// The CSV exports from the menu and the point table window with its input box.
// The "解析" menu: areal means of a polygon file written beside the open file, the
// duration-maximum map and its export label, and the map's tooltip.
#include <gtest/gtest.h>

#include <QFrame>

#include "core/messages.h"
#include "tests/ui/viewer_test_support.h"
#include "ui/point_table_window.h"
#include "ui/progress_track.h"
#include "ui/qt_text.h"

namespace ombrix::ui::test {
namespace {

namespace fs = std::filesystem;

struct ViewerExportTest : ViewerFixture {
  ViewerExportTest() {
    writeFile("Ka200475200476.RMD", 96, 4, 5,
              [](int k, int cell) { return static_cast<std::int16_t>((cell * 7 + k * 3) % 90 - 1); });
    open("Ka200475200476.RMD");
  }
  std::string line(const fs::path& csv, std::size_t k) { return ombrix::test::crlfLines(ombrix::test::readText(csv)).at(k); }
};

TEST_F(ViewerExportTest, TheShownMapIsWrittenUnderItsLabel) {
  trigger("MenuExpNow");  // nothing drawn yet
  trigger("MenuGisGeoTiff");
  EXPECT_EQ(ombrix::test::namesIn(dir.path()).size(), 1u);
  controls.startTime->setCurrentIndex(19);
  click(window.get(), "Command2");
  trigger("MenuExpNow");
  trigger("MenuGisGeoTiff");
  EXPECT_EQ(line(dir / "Ka200407050930.CSV", 1), "0,0,0,139.6,35.7,56");
  EXPECT_GT(fs::file_size(dir / "Ka200407050930.tif"), 0u);

  controls.startTime->setCurrentIndex(3);
  controls.endTime->setCurrentIndex(50);
  click(window.get(), "ComdAccum");
  trigger("MenuExpNow");
  EXPECT_EQ(line(dir / "Ka200407050130200407060100-SUM.CSV", 1), "0,0,0,139.6,35.7,1879");
  EXPECT_EQ(messages.shown, QStringList{qtText(messages::kComputationDone)});
}

TEST_F(ViewerExportTest, TheWholeFileIsWrittenAsNetcdfOnce) {
  trigger("MenuGisNetcdf");
  const fs::path cube = dir / "Ka200475200476.nc";
  EXPECT_EQ(messages.shown, QStringList{qtText(messages::kNetcdfWritten) + QString::fromStdString(cube.string())});
  EXPECT_EQ(control<QFrame>(window.get(), QStringLiteral("Reading_Bar"))->width(), viewer.progress().trackWidth());
  trigger("MenuGisNetcdf");
  EXPECT_EQ(messages.shown.back(), qtText(messages::kExportTargetExists) + QString::fromStdString(cube.string()));
}

TEST_F(ViewerExportTest, ThePeriodSetIsWrittenOnceAndThePointTableWindowAsksForTheId) {
  trigger("MenuExpAll");
  const fs::path set = dir / "Ka2004070520040706";
  EXPECT_EQ(messages.shown, QStringList{qtText(messages::kCsvWritten)});
  EXPECT_EQ(conditions.frameLabel, "2004070520040706");
  EXPECT_EQ(control<QFrame>(window.get(), QStringLiteral("Reading_Bar"))->width(), viewer.progress().trackWidth());
  EXPECT_EQ(ombrix::test::readText(set / "FileList.txt"), "20040705.CSV\r\n20040706.CSV\r\n");

  trigger("menuCSVTable");
  PointTableWindow& table = viewer.pointTableWindow();
  const QString dataPath = readout("DataPath");
  messages.shown.clear();
  ASSERT_TRUE(table.directoryList().openDirectory(QString::fromStdString(dir.path().string())));
  click(&table, "Command1");
  EXPECT_EQ(messages.shown, QStringList{qtText(messages::kFileListMissing)});

  ASSERT_TRUE(table.directoryList().openDirectory(QString::fromStdString(set.string())));
  messages.answers = {std::nullopt, QStringLiteral("zwölf"), QStringLiteral("7")};
  for (int press = 0; press < 3; ++press) click(&table, "Command1");
  const QString ok = qtText(messages::kFileListFound);
  const QString written = qtText(messages::kTableWrittenPrefix) + QString::fromStdString((set / "7.csv").string()) +
                          qtText(messages::kTableWrittenSuffix);
  EXPECT_EQ(messages.shown.mid(1), (QStringList{ok, qtText(messages::kCellIdNotEntered), ok,
                                                qtText(messages::kCellIdNotWhole), ok, written}));
  EXPECT_EQ(messages.prompts, QStringList(3, qtText(messages::kAskCellId)));
  EXPECT_EQ(conditions.archiveDir, set.string());
  EXPECT_EQ(readout("DataPath"), dataPath);
  EXPECT_EQ(line(set / "7.csv", 2).substr(0, 33), "2004/07/06,7,1,2,139.625,35.69167");
}

struct AnalysisMenuTest : ViewerFixture {
  AnalysisMenuTest() {
    rmd = writeFile("Ka200475200475.RMD", 8, 6, 5,
                    [](int k, int cell) { return static_cast<std::int16_t>(cell == 0 ? -1 : cell * 10 + k); });
    open("Ka200475200475.RMD");
    ombrix::test::writeText(polygons, R"({"type":"FeatureCollection","features":[{"type":"Feature",)"
                                      R"("properties":{"name":"湾"},"geometry":{"type":"Polygon","coordinates":)"
                                      R"([[[139.6,35.66],[139.65,35.66],[139.65,35.69],[139.6,35.69],[139.6,35.66]]]}}]})");
    viewer.setPolygonFileChooser([this] { return QString::fromStdString(polygons.string()); });
    controls.startTime->setCurrentIndex(0);
    controls.endTime->setCurrentIndex(7);
  }
  fs::path rmd;
  fs::path polygons = dir / "bay.geojson";
};

TEST_F(AnalysisMenuTest, ArealMeansAreWrittenBesideTheFile) {
  trigger("MenuArealRain");
  const fs::path csv = dir / "Ka200475200475-areal.csv";
  EXPECT_EQ(messages.shown, QStringList{qtText(std::string(messages::kArealWritten) + csv.string())});
  const std::vector<std::string> lines = ombrix::test::crlfLines(ombrix::test::readText(csv));
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[0], "\xEF\xBB\xBFtime,湾,湾 coverage");
  EXPECT_EQ(lines[1].substr(0, 17), "2004-07-05 00:00,");
  EXPECT_EQ(conditions.viewerState, core::kViewerIdle);
}

TEST_F(AnalysisMenuTest, DurationMapIsShownLabelledAndProbedInMillimetres) {
  messages.answers = {QStringLiteral("x"), QStringLiteral("2")};
  trigger("MenuDurationMax");
  EXPECT_EQ(messages.shown, QStringList{qtText(messages::kDurationHoursInvalid)});
  trigger("MenuDurationMax");
  EXPECT_EQ(conditions.frameLabel, "200407050000200407050330-MAX2H");
  // Cell 1 holds 10 + k; two hours of half-hourly frames end at 7: 17 + 15.
  EXPECT_EQ(conditions.rainGrid[1], 32);
  EXPECT_EQ(conditions.rainGrid[0], -1);
  EXPECT_TRUE(controls.accumulationLegend->isVisible());
  const viewer::ViewGeometry g = viewer::geometryOf(conditions);
  const QPoint centreOfCell1(static_cast<int>(g.viewCenterX - (g.mapHalfWidth - 1.5F * g.cellWidth) * g.zoom),
                             static_cast<int>(g.viewCenterY - (g.mapHalfHeight - 0.5F * g.cellHeight) * g.zoom));
  EXPECT_EQ(viewer.cellTip(centreOfCell1), QStringLiteral("緯度 35.7000  経度 139.6125  値 3.2 mm"));
  EXPECT_TRUE(viewer.cellTip(QPoint(0, 0)).isEmpty());
}

}  // namespace
}  // namespace ombrix::ui::test
