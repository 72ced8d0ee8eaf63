// Stepping through the frames, the start-time edit, the viewerState guard, the paced animation
// and the picture in PictArea.
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "core/messages.h"
#include "tests/ui/viewer_test_support.h"
#include "ui/qt_text.h"
#include "viewer/frame_loading.h"

namespace ombrix::ui::test {
namespace {

// Frame k holds k * 100 + cell in every cell, so the grid shown tells the frame.
std::int16_t frameValue(int k, int cell) { return static_cast<std::int16_t>(k * 100 + cell); }

struct MapViewerTest : ViewerFixture {
  void openFrames(int frames) {
    writeFile("Ka200475200475.RMD", frames, 2, 3, frameValue);
    open("Ka200475200475.RMD");
    ASSERT_TRUE(messages.shown.isEmpty()) << messages.shown.join(u'|').toStdString();
  }
  // Which frame rainGrid holds, from its first cell.
  int frameShown() const { return conditions.rainGrid.empty() ? -1 : conditions.rainGrid.front() / 100; }
  QString entry(int k) const { return controls.startTime->itemText(k); }
  bool idleButtons() const {
    return controls.drawStart->isVisible() && controls.next->isVisible() && controls.previous->isVisible() &&
           controls.animation[0]->isVisible() && !controls.animation[1]->isVisible();
  }
  void typeStartTime(const QString& text) {
    QLineEdit* edit = controls.startTime->lineEdit();
    edit->selectAll();
    QTest::keyClicks(edit, text);
  }
};

TEST_F(MapViewerTest, StepsWrapRoundBothWays) {
  openFrames(3);
  click(window.get(), "Command4");
  EXPECT_EQ(position(), 2);
  EXPECT_EQ(frameShown(), 2);
  EXPECT_EQ(conditions.frameLabel, "200407050100");
  EXPECT_EQ(readout("Text2"), entry(2));
  click(window.get(), "Command3");
  EXPECT_EQ(position(), 0);
  EXPECT_EQ(frameShown(), 0);
  EXPECT_EQ(conditions.frameLabel, "200407050000");
  click(window.get(), "Command3");
  EXPECT_EQ(position(), 1);
  EXPECT_EQ(readout("Text2"), entry(1));

  controls.startTime->setCurrentIndex(2);
  click(window.get(), "Command2");
  EXPECT_EQ(frameShown(), 2);
  EXPECT_EQ(readout("Text2"), entry(2));
  EXPECT_EQ(controls.endTime->currentIndex(), 0);  // stepping and choosing leave the end time
  EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(MapViewerTest, AOneFrameFileRedrawsItsFrame) {
  openFrames(1);
  for (const char* button : {"Command3", "Command4", "Command2"}) {
    conditions.rainGrid.assign(conditions.rainGrid.size(), 7);
    click(window.get(), button);
    EXPECT_EQ(position(), 0) << button;
    EXPECT_EQ(frameShown(), 0) << button;
    EXPECT_EQ(conditions.frameLabel, "200407050000") << button;
  }
}

TEST_F(MapViewerTest, SteppingShowsTheIntensityLegend) {
  openFrames(3);
  controls.intensityLegend->hide();
  controls.accumulationLegend->show();
  click(window.get(), "Command3");
  EXPECT_TRUE(controls.intensityLegend->isVisible());
  EXPECT_FALSE(controls.accumulationLegend->isVisible());
}

TEST_F(MapViewerTest, EditingTheStartTimeMovesTheEndTimeList) {
  openFrames(4);
  typeStartTime(entry(2));
  EXPECT_EQ(controls.endTime->currentIndex(), 2);
  typeStartTime(QStringLiteral("2004/13/1"));
  EXPECT_EQ(controls.endTime->currentIndex(), -1);
  // A typed text naming no entry gives the steps no frame: refused, nothing drawn.
  click(window.get(), "Command2");
  EXPECT_EQ(messages.shown, QStringList{qtText(messages::kFrameNotInFile)});
  EXPECT_TRUE(conditions.frameLabel.empty());
}

TEST_F(MapViewerTest, ComputingBlocksEveryGuardedCommand) {
  openFrames(3);
  controls.startTime->setCurrentIndex(1);
  click(window.get(), "Command2");
  controls.endTime->setCurrentIndex(2);
  controls.intensityLegend->hide();
  controls.accumulationLegend->show();
  const std::vector<std::int16_t> shown = conditions.rainGrid;
  conditions.viewerState = core::kViewerComputing;
  for (const char* button : {"Command2", "Command3", "Command4", "Command5_0", "ComdAccum", "Comdmax"}) {
    click(window.get(), button);
    EXPECT_EQ(position(), 1) << button;
    EXPECT_EQ(conditions.rainGrid, shown) << button;
    EXPECT_EQ(conditions.frameLabel, "200407050030") << button;
    EXPECT_TRUE(controls.accumulationLegend->isVisible()) << button;
    EXPECT_TRUE(idleButtons()) << button;
    EXPECT_EQ(conditions.viewerState, core::kViewerComputing) << button;
  }
  EXPECT_TRUE(messages.shown.isEmpty());
}

struct AnimationTest : MapViewerTest {
  AnimationTest() {
    viewer.setClock([this] { return now; });
    QObject::connect(&viewer, &MapViewer::frameShown, [this](int frame) { steps.append(frame); });
  }
  // Runs action once the animation loop has passed a few times since the last one.
  void then(std::function<void()> action) { QTimer::singleShot(30, window.get(), std::move(action)); }
  double now = 100.0;
  QList<int> steps;
};

TEST_F(AnimationTest, StepsOncePerSecondFromTheNextFrameAndStops) {
  openFrames(3);
  controls.startTime->setCurrentIndex(1);
  then([&] {
    EXPECT_EQ(conditions.viewerState, core::kViewerAnimating);
    EXPECT_TRUE(controls.animation[1]->isVisible());
    EXPECT_FALSE(controls.animation[0]->isVisible());
    EXPECT_FALSE(controls.next->isVisible());
    now += 0.9;
    then([&] {
      EXPECT_TRUE(steps.isEmpty()) << "no step before the pace";
      now += 0.2;
      then([&] {
        EXPECT_EQ(steps, QList<int>{2});
        now += 0.5;
        then([&] {
          EXPECT_EQ(steps, QList<int>{2});
          now += 0.6;
          then([&] {
            EXPECT_EQ(steps, (QList<int>{2, 0}));
            click(window.get(), "Command5_1");
          });
        });
      });
    });
  });
  click(window.get(), "Command5_0");
  EXPECT_EQ(steps, (QList<int>{2, 0}));
  EXPECT_EQ(conditions.viewerState, core::kViewerIdle);
  EXPECT_TRUE(idleButtons());
  EXPECT_EQ(position(), 0);
  EXPECT_EQ(conditions.frameLabel, "200407050000");
  EXPECT_EQ(readout("Text2"), entry(0));
}

TEST_F(AnimationTest, StopBeforeTheFirstSecondChangesNothing) {
  openFrames(3);
  then([&] {
    now += 0.5;
    then([&] { click(window.get(), "Command5_1"); });
  });
  click(window.get(), "Command5_0");
  EXPECT_TRUE(steps.isEmpty());
  EXPECT_EQ(position(), 0);
  EXPECT_TRUE(conditions.frameLabel.empty());
  EXPECT_EQ(conditions.viewerState, core::kViewerIdle);
  EXPECT_TRUE(idleButtons());
}

TEST_F(AnimationTest, PassingMidnightStillSteps) {
  openFrames(3);
  now = 86399.5;
  then([&] {
    now = 0.7;
    then([&] { click(window.get(), "Command5_1"); });
  });
  click(window.get(), "Command5_0");
  EXPECT_EQ(steps, QList<int>{1});
}

TEST_F(AnimationTest, AComputationRunsInsideTheAnimationAndTheLoopGoesOn) {
  openFrames(3);
  controls.endTime->setCurrentIndex(2);
  then([&] {
    click(window.get(), "ComdAccum");
    EXPECT_EQ(messages.shown, QStringList{qtText(messages::kComputationDone)});
    EXPECT_EQ(conditions.frameLabel, "200407050000200407050100-SUM");
    EXPECT_TRUE(controls.accumulationLegend->isVisible());
    EXPECT_TRUE(controls.animation[1]->isVisible());
    now += 1.5;
    then([&] {
      EXPECT_EQ(steps, QList<int>{1});
      EXPECT_TRUE(controls.intensityLegend->isVisible());
      click(window.get(), "Command5_1");
    });
  });
  click(window.get(), "Command5_0");
  EXPECT_EQ(conditions.frameLabel, "200407050030");
  EXPECT_EQ(conditions.viewerState, core::kViewerIdle);
}

TEST_F(AnimationTest, ClosingTheWindowEndsTheLoop) {
  openFrames(3);
  then([&] { window->close(); });
  click(window.get(), "Command5_0");
  EXPECT_TRUE(window->isEnding());
  EXPECT_FALSE(viewer.animating());
}

TEST_F(MapViewerTest, PictAreaShowsWhatTheBatchToolRenders) {
  // A cell range over every class, on a grid that the coastline of Tokyo Bay crosses.
  const std::filesystem::path path = writeFile("Ka200475200475.RMD", 3, 40, 48, [](int k, int cell) {
    return static_cast<std::int16_t>((cell * 37 + k * 101) % 1000 - 100);
  });
  open("Ka200475200475.RMD");
  auto* area = control<MapSurface>(window.get(), QStringLiteral("PictArea"));
  ASSERT_NE(area, nullptr);
  EXPECT_EQ(area->geometry(), QRect(312, 16, 689, 593));
  controls.startTime->setCurrentIndex(1);
  click(window.get(), "Command2");
  const QImage shown = picture();
  ASSERT_EQ(shown.size(), QSize(689, 593));
  EXPECT_EQ(shown.format(), QImage::Format_RGB32);
  EXPECT_EQ(shown, renderedByTool(path, "--frame 1"));
  int black = 0;
  for (int y = 0; y < shown.height(); ++y) {
    for (int x = 0; x < shown.width(); ++x) black += shown.pixel(x, y) == 0xFF000000u ? 1 : 0;
  }
  EXPECT_GT(black, 100) << "the coastline is drawn";
}

}  // namespace
}  // namespace ombrix::ui::test
