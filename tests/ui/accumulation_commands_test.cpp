// The accumulated and maximum maps from the drawing controls: range refusals, legends, labels,
// the progress bar, the progressive display and the pictures.
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

// Cell 0: 10, 20, 30. Cell 1: -1, 15, 0. Cell 2: -1, 0, -1. Cell 3: 0, -1, 0. Further cells
// carry wet values of every class.
std::int16_t rangeValue(int k, int cell) {
  static const std::int16_t first[4][3] = {{10, 20, 30}, {-1, 15, 0}, {-1, 0, -1}, {0, -1, 0}};
  if (cell < 4) return first[cell][k % 3];
  return static_cast<std::int16_t>((cell * 53 + k * 211) % 4000);
}

struct AccumulationTest : ViewerFixture {
  AccumulationTest() {
    rmd = writeFile("Ka200475200475.RMD", 3, 30, 40, rangeValue);
    open("Ka200475200475.RMD");
    viewer.progress().setTrackWidth(4095);
    QObject::connect(&viewer.progress(), &ProgressTrack::barWidthSet, [this](int width) {
      widths.append(width);
      timesAtWidths.append(readout("Text2"));
    });
  }
  void chooseRange(int s, int e) {
    controls.startTime->setCurrentIndex(s);
    controls.endTime->setCurrentIndex(e);
  }
  std::filesystem::path rmd;
  QList<int> widths;
  QStringList timesAtWidths;
};

TEST_F(AccumulationTest, AccumulatesWithProgressLabelAndLegend) {
  chooseRange(0, 2);
  click(window.get(), "ComdAccum");
  EXPECT_EQ(messages.shown, QStringList{qtText(messages::kComputationDone)});
  EXPECT_EQ(widths, (QList<int>{0, 2048, 4096, 4095}));
  EXPECT_EQ(conditions.rainGrid[0], 60);
  EXPECT_EQ(conditions.rainGrid[1], 14);
  EXPECT_EQ(conditions.rainGrid[2], -1);
  EXPECT_EQ(conditions.rainGrid[3], 0);
  EXPECT_EQ(conditions.frameLabel, "200407050000200407050100-SUM");
  EXPECT_EQ(readout("Text2"), QStringLiteral("Accumulated rainfall"));
  EXPECT_TRUE(controls.accumulationLegend->isVisible());
  EXPECT_FALSE(controls.intensityLegend->isVisible());
  EXPECT_EQ(conditions.viewerState, core::kViewerIdle);
  EXPECT_EQ(picture(), renderedByTool(rmd, "--sum 0:2"));
}

TEST_F(AccumulationTest, MaximumHasNoMessageAndTheIntensityLegend) {
  controls.intensityLegend->hide();
  controls.accumulationLegend->show();
  chooseRange(0, 2);
  click(window.get(), "Comdmax");
  EXPECT_TRUE(messages.shown.isEmpty());
  EXPECT_EQ(widths, (QList<int>{0, 2048, 4096, 4095}));
  EXPECT_EQ(conditions.rainGrid[0], 30);
  EXPECT_EQ(conditions.rainGrid[1], 15);
  EXPECT_EQ(conditions.rainGrid[2], 0);
  EXPECT_EQ(conditions.rainGrid[3], 0);
  EXPECT_EQ(conditions.frameLabel, "200407050000200407050100-MAX");
  EXPECT_EQ(readout("Text2"), QStringLiteral("Max. rainfall"));
  EXPECT_TRUE(controls.intensityLegend->isVisible());
  EXPECT_FALSE(controls.accumulationLegend->isVisible());
  EXPECT_EQ(picture(), renderedByTool(rmd, "--max 0:2"));
}

TEST_F(AccumulationTest, RefusedRangesChangeNothingButTheLegend) {
  click(window.get(), "Command3");
  const std::vector<std::int16_t> shown = conditions.rainGrid;
  const QImage picture0 = picture();
  struct Case {
    int s, e;
    const char* button;
    messages::Text message;
    bool accumulationLegend;
  };
  for (const Case& c : {Case{1, 1, "ComdAccum", messages::kChooseDifferentTimes, true},
                        Case{2, 1, "Comdmax", messages::kTimesNotInOrder, false},
                        Case{2, 0, "ComdAccum", messages::kTimesNotInOrder, true},
                        Case{0, 0, "Comdmax", messages::kChooseDifferentTimes, false}}) {
    messages.shown.clear();
    chooseRange(c.s, c.e);
    click(window.get(), c.button);
    EXPECT_EQ(messages.shown, QStringList{qtText(c.message)}) << c.button << c.s << c.e;
    EXPECT_EQ(controls.accumulationLegend->isVisible(), c.accumulationLegend);
    EXPECT_NE(controls.intensityLegend->isVisible(), c.accumulationLegend);
    EXPECT_EQ(conditions.viewerState, core::kViewerIdle);
    EXPECT_EQ(conditions.rainGrid, shown);
    EXPECT_EQ(conditions.frameLabel, "200407050030");
    EXPECT_EQ(picture(), picture0);
  }
  EXPECT_TRUE(widths.isEmpty());
}

TEST_F(AccumulationTest, AGreyedCheckBoxShowsTheSumGrowing) {
  controls.animateProgress->setCheckState(Qt::PartiallyChecked);
  window->timeText()->setText(QStringLiteral("before"));
  chooseRange(0, 2);
  click(window.get(), "ComdAccum");
  EXPECT_EQ(timesAtWidths,
            (QStringList{QStringLiteral("before"), controls.startTime->itemText(0), controls.startTime->itemText(1),
                         controls.startTime->itemText(2)}));
  EXPECT_EQ(readout("Text2"), QStringLiteral("Accumulated rainfall"));

  controls.animateProgress->setCheckState(Qt::Unchecked);
  timesAtWidths.clear();
  window->timeText()->setText(QStringLiteral("before"));
  click(window.get(), "ComdAccum");
  EXPECT_EQ(timesAtWidths, QStringList(4, QStringLiteral("before")));
}

TEST_F(AccumulationTest, PressesDuringTheComputationDoNothing) {
  chooseRange(0, 2);
  QTimer::singleShot(0, window.get(), [&] {
    EXPECT_EQ(conditions.viewerState, core::kViewerComputing);
    for (const char* button : {"ComdAccum", "Comdmax", "Command3", "Command5_0"}) click(window.get(), button);
  });
  click(window.get(), "ComdAccum");
  EXPECT_EQ(messages.shown, QStringList{qtText(messages::kComputationDone)});
  EXPECT_EQ(widths.size(), 4);
  EXPECT_EQ(position(), 0);
  EXPECT_EQ(conditions.frameLabel, "200407050000200407050100-SUM");
}

TEST_F(AccumulationTest, AFileOpenedDuringTheComputationDropsItsField) {
  writeFile("Ky200475200475.RMD", 2, 5, 6, rangeValue);
  chooseRange(0, 2);
  QTimer::singleShot(0, window.get(), [&] { open("Ky200475200475.RMD"); });
  click(window.get(), "ComdAccum");
  EXPECT_TRUE(messages.shown.isEmpty()) << messages.shown.join(u'|').toStdString();
  EXPECT_EQ(conditions.gridRows, 5);
  EXPECT_EQ(conditions.rainGrid.size(), 30u);
  EXPECT_TRUE(conditions.frameLabel.empty());
  EXPECT_EQ(conditions.viewerState, core::kViewerIdle);
}

}  // namespace
}  // namespace ombrix::ui::test
