// The accumulated and maximum maps from the drawing controls: range refusals, legends, labels,
// the progress bar, the progressive display and the picture.
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QTimer>

#include "core/messages.h"
#include "tests/ui/viewer_test_support.h"
#include "ui/progress_track.h"
#include "ui/qt_text.h"

namespace ombrix::ui::test {
namespace {

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
