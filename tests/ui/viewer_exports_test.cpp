// The CSV exports from the menu and the point table window with its input box.
// The "解析" menu: areal means of a polygon file written beside the open file, the
// duration-maximum map and its export label, and the map's tooltip.
// The accumulated and maximum maps from the drawing controls: range refusals, legends, labels,
// the progress bar, the progressive display and the picture.
#include <gtest/gtest.h>

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QTimer>

#include "core/messages.h"
#include "tests/ui/viewer_test_support.h"
#include "ui/map_surface.h"
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
};

TEST_F(ViewerExportTest, TheShownMapIsWrittenUnderItsLabelAndTheWholeFileAsNetcdfOnce) {
  trigger("MenuExpNow");  // nothing drawn yet
  trigger("MenuGisGeoTiff");
  EXPECT_EQ(ombrix::test::namesIn(dir.path()).size(), 1u);
  controls.startTime->setCurrentIndex(19);
  click(window.get(), "Command2");
  trigger("MenuExpNow");
  trigger("MenuGisGeoTiff");
  EXPECT_EQ(ombrix::test::crlfLines(ombrix::test::readText(dir / "Ka200407050930.CSV")).at(1), "0,0,0,139.6,35.7,56");
  EXPECT_GT(fs::file_size(dir / "Ka200407050930.tif"), 0u);
  EXPECT_TRUE(messages.shown.isEmpty());

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
  // The answer goes to the table as typed: a text that is no whole number is refused there.
  EXPECT_EQ(messages.shown.mid(1), (QStringList{ok, qtText(messages::kCellIdNotEntered), ok,
                                                qtText(messages::kCellIdNotWhole), ok, written}));
  EXPECT_EQ(messages.prompts, QStringList(3, qtText(messages::kAskCellId)));
  EXPECT_EQ(conditions.archiveDir, set.string());
  EXPECT_EQ(readout("DataPath"), dataPath);
  EXPECT_TRUE(fs::exists(set / "7.csv"));
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

// The polygons' outlines are drawn over the map until another file is opened.
TEST_F(AnalysisMenuTest, ArealMeansAreWrittenBesideTheFileAndOutlinedUntilAFileIsOpened) {
  click(window.get(), "Command2");
  const QImage plain = viewer.surface().image().copy();
  trigger("MenuArealRain");
  const fs::path csv = dir / "Ka200475200475-areal.csv";
  EXPECT_EQ(messages.shown, QStringList{qtText(std::string(messages::kArealWritten) + csv.string())});
  EXPECT_EQ(ombrix::test::crlfLines(ombrix::test::readText(csv)).size(), 9u);  // a header and the 8 chosen frames
  EXPECT_EQ(conditions.viewerState, core::kViewerIdle);
  EXPECT_NE(viewer.surface().image(), plain);
  open("Ka200475200475.RMD");
  click(window.get(), "Command2");
  EXPECT_EQ(viewer.surface().image(), plain);
}

TEST_F(AnalysisMenuTest, DurationMapIsShownLabelledAndProbedInMillimetres) {
  // Eight half-hourly frames hold windows of at most four hours.
  messages.answers = {QStringLiteral("x"), QStringLiteral("40000"), QStringLiteral("5"), QStringLiteral("2")};
  for (int press = 0; press < 3; ++press) trigger("MenuDurationMax");
  const QString invalid = qtText(messages::kDurationHoursInvalid);
  const std::string tooLong = std::string(messages::kDurationLongerThanRange).append("5").append(messages::kDurationLongerSuffix);
  EXPECT_EQ(messages.shown, (QStringList{invalid, invalid, qtText(tooLong)}));
  EXPECT_TRUE(conditions.frameLabel.empty());
  trigger("MenuDurationMax");
  EXPECT_EQ(conditions.frameLabel, "200407050000200407050330-MAX2H");
  EXPECT_TRUE(controls.accumulationLegend->isVisible());
  // Cell 1 holds 10 + k; two hours of half-hourly frames end at 7: 17 + 15 tenths of a millimetre.
  const viewer::ViewGeometry& g = conditions.geometry;
  const core::CellGrid& grid = conditions.file.grid();
  const QPoint centreOfCell1(static_cast<int>(g.viewCenterX - (g.mapHalfWidth - 1.5F * grid.cellWidth) * g.zoom),
                             static_cast<int>(g.viewCenterY - (g.mapHalfHeight - 0.5F * grid.cellHeight) * g.zoom));
  EXPECT_EQ(viewer.cellTip(centreOfCell1), QStringLiteral("緯度 35.7000  経度 139.6125  値 3.2 mm"));
  EXPECT_TRUE(viewer.cellTip(QPoint(0, 0)).isEmpty());
  // A short duration is classed like the rain rate, in millimetres; a sum takes its own classes back.
  const auto topLabel = [&] { return controls.accumulationLegend->findChild<QLabel*>("Label10_13")->text(); };
  EXPECT_EQ(topLabel(), QStringLiteral("1mm未満"));
  click(window.get(), "ComdAccum");
  EXPECT_EQ(topLabel(), QStringLiteral("100mm未満"));
}

// Cells 0 to 2 over three frames: 10, 20, 30 / -1, 15, 0 / -1, 0, -1; then wet values of every class.
std::int16_t rangeValue(int k, int cell) {
  static const std::int16_t first[3][3] = {{10, 20, 30}, {-1, 15, 0}, {-1, 0, -1}};
  return cell < 3 ? first[cell][k % 3] : static_cast<std::int16_t>((cell * 53 + k * 211) % 4000);
}

struct AccumulationTest : ViewerFixture {
  AccumulationTest() {
    rmd = writeFile("Ka200475200475.RMD", 3, 30, 40, rangeValue);
    open("Ka200475200475.RMD");
    controls.startTime->setCurrentIndex(0);
    controls.endTime->setCurrentIndex(2);
    viewer.progress().setTrackWidth(4095);
    QObject::connect(&viewer.progress(), &ProgressTrack::barWidthSet, [this](int width) {
      widths.append(width);
      timesAtWidths.append(readout("Text2"));
    });
  }
  std::vector<std::int16_t> firstCells() const { return {conditions.rainGrid.begin(), conditions.rainGrid.begin() + 3}; }

  std::filesystem::path rmd;
  QList<int> widths;
  QStringList timesAtWidths;
};

TEST_F(AccumulationTest, SumAndMaximumWithProgressLabelAndLegendWhilePressesWait) {
  QTimer::singleShot(0, window.get(), [&] {
    for (const char* button : {"ComdAccum", "Comdmax", "Command3", "Command5_0"}) click(window.get(), button);
  });
  struct Case {
    const char* button;
    std::vector<std::int16_t> cells;
    const char *label, *text;
    QGroupBox* legend;
    QStringList shown;
  };
  for (const Case& c : {Case{"Comdmax", {30, 15, 0}, "200407050000200407050100-MAX", "Max. rainfall",
                             controls.intensityLegend, {}},
                        Case{"ComdAccum", {60, 14, -1}, "200407050000200407050100-SUM", "Accumulated rainfall",
                             controls.accumulationLegend, {qtText(messages::kComputationDone)}}}) {
    messages.shown.clear();
    widths.clear();
    click(window.get(), c.button);
    EXPECT_EQ(messages.shown, c.shown) << c.button;
    EXPECT_EQ(widths, (QList<int>{0, 2048, 4096, 4095}));
    EXPECT_EQ(firstCells(), c.cells);
    EXPECT_EQ(conditions.frameLabel, c.label);
    EXPECT_EQ(readout("Text2"), QString::fromUtf8(c.text));
    EXPECT_TRUE(c.legend->isVisible());
    EXPECT_EQ(std::pair(conditions.viewerState, position()), std::pair(core::kViewerIdle, 0));
  }
  // The one picture compared with the batch tool's: the same conditions reach the same renderer.
  ombrix::test::TempDir work;
  const auto png = work / "sum.png";
  const auto run = ombrix::test::runCommand(ombrix::test::shellQuote(std::string(OMBRIX_BIN_DIR) + "/ombrix-tool") +
                                            " render " + ombrix::test::shellQuote(rmd.string()) + " --sum 0:2 --png " +
                                            ombrix::test::shellQuote(png.string()));
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(picture(), QImage(QString::fromStdString(png.string())).convertToFormat(QImage::Format_RGB32));
}

TEST_F(AccumulationTest, RefusedRangesChangeNothingButTheLegend) {
  click(window.get(), "Command3");
  const QImage shown = picture();
  controls.startTime->setCurrentIndex(1);
  controls.endTime->setCurrentIndex(1);
  click(window.get(), "ComdAccum");
  EXPECT_TRUE(controls.accumulationLegend->isVisible());
  controls.endTime->setCurrentIndex(0);
  click(window.get(), "Comdmax");
  EXPECT_TRUE(controls.intensityLegend->isVisible());
  EXPECT_EQ(messages.shown.size(), 2);  // their texts: viewer/frame_accumulation_test
  EXPECT_EQ(conditions.viewerState, core::kViewerIdle);
  EXPECT_EQ(conditions.frameLabel, "200407050030");
  EXPECT_EQ(picture(), shown);
  EXPECT_TRUE(widths.isEmpty());
}

TEST_F(AccumulationTest, AGreyedCheckBoxShowsTheSumGrowing) {
  controls.animateProgress->setCheckState(Qt::PartiallyChecked);
  window->timeText()->setText(QStringLiteral("before"));
  click(window.get(), "ComdAccum");
  EXPECT_EQ(timesAtWidths, (QStringList{QStringLiteral("before"), entry(0), entry(1), entry(2)}));
}

}  // namespace
}  // namespace ombrix::ui::test
