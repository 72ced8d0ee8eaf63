// Stepping through the frames, the start-time edit, the viewerState guard, the paced animation
// and the version window.
// Opening preprocessed files through FileOpen: the file list, what an open shows, and the
// refusals after which the viewer's commands stay quiet.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include "core/messages.h"
#include "tests/ui/viewer_test_support.h"
#include "ui/qt_text.h"
#include "ui/version_window.h"

namespace ombrix::ui::test {
namespace {

struct MapViewerTest : ViewerFixture {
  MapViewerTest() {
    viewer.setClock([this] { return now; });
    QObject::connect(&viewer, &MapViewer::frameShown, [this](int frame) { steps.append(frame); });
  }
  // Frame k holds k * 100 + cell in every cell, so the grid shown tells the frame.
  void openFrames(int frames) {
    writeFile("Ka200475200475.RMD", frames, 2, 3, [](int k, int cell) { return static_cast<std::int16_t>(k * 100 + cell); });
    open("Ka200475200475.RMD");
  }
  int frameShown() const { return conditions.rainGrid.front() / 100; }
  bool idleButtons() const {
    return controls.drawStart->isVisible() && controls.next->isVisible() && controls.previous->isVisible() &&
           controls.animation[0]->isVisible() && !controls.animation[1]->isVisible();
  }
  // Runs action once the animation loop has passed a few times.
  void then(std::function<void()> action) { QTimer::singleShot(30, window.get(), std::move(action)); }

  double now = 86399.0;  // the animations pass midnight
  QList<int> steps;
};

TEST_F(MapViewerTest, StepsWrapRoundBothWaysWithTheIntensityLegend) {
  openFrames(3);
  controls.intensityLegend->hide();
  controls.accumulationLegend->show();
  click(window.get(), "Command4");
  EXPECT_TRUE(controls.intensityLegend->isVisible() && !controls.accumulationLegend->isVisible());
  EXPECT_EQ(std::pair(position(), frameShown()), std::pair(2, 2));
  EXPECT_EQ(conditions.frameLabel, "200407050100");
  click(window.get(), "Command3");
  EXPECT_EQ(std::pair(position(), frameShown()), std::pair(0, 0));
  EXPECT_EQ(readout("Text2"), entry(0));
  controls.startTime->setCurrentIndex(1);
  click(window.get(), "Command2");
  EXPECT_EQ(frameShown(), 1);
  EXPECT_EQ(readout("Text2"), entry(1));
  EXPECT_EQ(controls.endTime->currentIndex(), 0);  // stepping and choosing leave the end time
}

TEST_F(MapViewerTest, AOneFrameFileRedrawsItsFrame) {
  openFrames(1);
  for (const char* button : {"Command3", "Command4"}) {
    conditions.rainGrid.assign(conditions.rainGrid.size(), 700);
    click(window.get(), button);
    EXPECT_EQ(frameShown(), 0) << button;
  }
}

TEST_F(MapViewerTest, EditingTheStartTimeMovesTheEndTimeList) {
  openFrames(4);
  QLineEdit* edit = controls.startTime->lineEdit();
  edit->selectAll();
  QTest::keyClicks(edit, entry(2));
  EXPECT_EQ(controls.endTime->currentIndex(), 2);
  edit->selectAll();
  QTest::keyClicks(edit, QStringLiteral("2004/13/1"));
  EXPECT_EQ(controls.endTime->currentIndex(), -1);
  // A text naming no entry gives the steps no frame: refused, nothing drawn.
  click(window.get(), "Command2");
  EXPECT_EQ(messages.shown, QStringList{qtText(messages::kFrameNotInFile)});
  EXPECT_TRUE(steps.isEmpty());
}

TEST_F(MapViewerTest, ComputingBlocksEveryGuardedCommand) {
  openFrames(3);
  click(window.get(), "Command3");
  controls.endTime->setCurrentIndex(2);
  controls.intensityLegend->hide();
  controls.accumulationLegend->show();
  conditions.viewerState = core::kViewerComputing;
  for (const char* button : {"Command2", "Command3", "Command4", "Command5_0", "ComdAccum", "Comdmax"}) {
    click(window.get(), button);
  }
  EXPECT_EQ(steps, QList<int>{1});
  EXPECT_EQ(position(), 1);
  EXPECT_EQ(conditions.frameLabel, "200407050030");
  EXPECT_TRUE(controls.accumulationLegend->isVisible());
  EXPECT_TRUE(idleButtons());
  EXPECT_EQ(conditions.viewerState, core::kViewerComputing);
  EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(MapViewerTest, AnimationStepsOncePerSecondFromTheNextFrame) {
  openFrames(3);
  controls.startTime->setCurrentIndex(1);
  then([&] {
    EXPECT_EQ(conditions.viewerState, core::kViewerAnimating);
    EXPECT_FALSE(idleButtons());
    EXPECT_TRUE(controls.animation[1]->isVisible());
    now += 0.9;
    then([&] {
      EXPECT_TRUE(steps.isEmpty()) << "no step before the pace";
      now = 0.2;  // midnight
      then([&] {
        now += 0.5;
        then([&] {
          EXPECT_EQ(steps, QList<int>{2});
          now += 0.6;
          then([&] { click(window.get(), "Command5_1"); });
        });
      });
    });
  });
  click(window.get(), "Command5_0");
  EXPECT_EQ(steps, (QList<int>{2, 0}));
  EXPECT_EQ(conditions.viewerState, core::kViewerIdle);
  EXPECT_TRUE(idleButtons());
  EXPECT_EQ(conditions.frameLabel, "200407050000");
  EXPECT_EQ(readout("Text2"), entry(0));
}

TEST_F(MapViewerTest, AComputationRunsInsideTheAnimation) {
  openFrames(3);
  controls.endTime->setCurrentIndex(2);
  then([&] {
    click(window.get(), "ComdAccum");
    EXPECT_EQ(conditions.frameLabel, "200407050000200407050100-SUM");
    EXPECT_TRUE(controls.animation[1]->isVisible());
    now += 1.5;
    then([&] { click(window.get(), "Command5_1"); });
  });
  click(window.get(), "Command5_0");
  EXPECT_EQ(messages.shown, QStringList{qtText(messages::kComputationDone)});
  EXPECT_EQ(steps, QList<int>{1});  // drawn over the computed map
  EXPECT_TRUE(controls.intensityLegend->isVisible());
}

TEST_F(MapViewerTest, StopDuringAComputationLeavesItsStateAndLegend) {
  openFrames(3);
  controls.endTime->setCurrentIndex(2);
  then([&] {
    QTimer::singleShot(0, window.get(), [&] {
      click(window.get(), "Command5_1");
      EXPECT_EQ(conditions.viewerState, core::kViewerComputing);
      EXPECT_TRUE(idleButtons());
    });
    click(window.get(), "ComdAccum");
  });
  click(window.get(), "Command5_0");
  EXPECT_EQ(messages.shown, QStringList{qtText(messages::kComputationDone)});
  EXPECT_TRUE(controls.accumulationLegend->isVisible());
  EXPECT_EQ(conditions.viewerState, core::kViewerIdle);
  EXPECT_TRUE(steps.isEmpty());
}

// The version window shows its notice before opening the page, every time, and is then hidden.
TEST_F(MapViewerTest, ClosingTheWindowEndsTheAnimationAndTheProgramAfterAHiddenVersionWindow) {
  openFrames(3);
  trigger("MenuVer");
  auto* address = control<QLabel>(window->findChild<VersionWindow*>(), QStringLiteral("Label2"));
  ASSERT_NE(address, nullptr);
  QTest::mouseClick(address, Qt::LeftButton);
  QTest::mouseClick(address, Qt::LeftButton);
  EXPECT_EQ(messages.shown, QStringList(2, qtText(messages::kInternetNeeded)));
  EXPECT_EQ(openedUrls, QList<QUrl>(2, QUrl(address->text())));
  click(window->findChild<VersionWindow*>(), "Command1");
  QTimer safety;  // a loop that did not end would otherwise hang the test
  QObject::connect(&safety, &QTimer::timeout, [] { QCoreApplication::exit(1); });
  safety.start(10'000);
  QTimer::singleShot(0, window.get(), [&] { click(window.get(), "Command5_0"); });
  then([&] { window->close(); });
  EXPECT_EQ(QApplication::exec(), 0);
  EXPECT_TRUE(window->isEnding());
  EXPECT_FALSE(viewer.animating());
}

namespace fs = std::filesystem;

using FileOpenTest = ViewerFixture;

std::int16_t frameValue(int k, int cell) { return static_cast<std::int16_t>(k * 100 + cell); }

TEST_F(FileOpenTest, ListsRmdFilesInAnyLetterCaseAndOpeningFillsTheReadoutsAndDrawingControls) {
  const fs::path path = writeFile("Ky2004752004751.RMD", 50, 3, 4, frameValue);
  for (const char* other : {"lower.rmd", "notes.RMD.txt", ".Ka200475200475.RMD", ".Ka200475200475.RMD.1-2-0.part"}) {
    ombrix::test::writeText(dir / other, "x");
  }
  trigger("MenuOpneFile");
  open("Ky2004752004751.RMD");
  const QListWidget& files = viewer.fileOpenDialog().fileList();
  ASSERT_EQ(files.count(), 2);
  EXPECT_EQ(files.item(0)->text(), QStringLiteral("Ky2004752004751.RMD"));
  EXPECT_EQ(files.item(1)->text(), QStringLiteral("lower.rmd"));
  EXPECT_TRUE(messages.shown.isEmpty());
  EXPECT_EQ(conditions.file.path(), path);
  EXPECT_EQ(std::pair(conditions.geometry.viewWidth, conditions.geometry.viewHeight), std::pair(689.0f, 593.0f));
  for (const auto& [box, text] : std::vector<std::pair<const char*, QString>>{
           {"TextArea", "九州"}, {"DataPath", QString::fromStdString(path.string())}, {"Coad1_0", "35.7"},
           {"Coad1_1", "139.6"}, {"Coad2_0", "35.68333"}, {"Coad2_1", "139.6375"}, {"YearText_0", "2004"},
           {"MonthText_0", "7"}, {"DayText_0", "5"}, {"DayText_1", "6"}}) {
    EXPECT_EQ(readout(box), text) << box;
  }
  for (QComboBox* list : {controls.startTime, controls.endTime}) {
    ASSERT_EQ(std::pair(list->count(), list->currentIndex()), std::pair(50, 0));
    EXPECT_EQ(list->itemText(19), QStringLiteral("2004/7/5 09: 30"));
  }
  EXPECT_EQ(readout("Text2"), QStringLiteral("2004/7/5 00: 00"));
  EXPECT_TRUE(controls.frame->isVisible());
  EXPECT_TRUE(viewer.fileOpenDialog().isVisible());
}

TEST_F(FileOpenTest, RefusedOpensLeaveTheViewerCommandsQuiet) {
  writeFile("Ky2004752004751.RMD", 3, 2, 3, frameValue);
  ombrix::test::writeText(dir / "Ka200475200475.RMD", "not a preprocessed file");
  open("Ka200475200475.RMD");
  ASSERT_EQ(messages.shown.size(), 1);
  EXPECT_TRUE(messages.shown.front().startsWith(qtText(messages::kNotRmdFile)));
  EXPECT_FALSE(controls.frame->isVisible());

  open("Ky2004752004751.RMD");
  open("Ka200475200475.RMD");  // an unusable file changes nothing of the open one
  EXPECT_EQ(conditions.file.path().string() + conditions.areaName, (dir / "Ky2004752004751.RMD").string() + "九州");
  click(window.get(), "Command3");
  const std::vector<std::int16_t> shown = conditions.rainGrid;
  controls.endTime->setCurrentIndex(2);
  messages.shown.clear();
  open("");
  EXPECT_EQ(messages.shown, QStringList{qtText(messages::kFileNotFound)});
  EXPECT_FALSE(conditions.fileOpen());
  EXPECT_EQ(conditions.openRmdDir, dir.path().string());

  messages.shown.clear();
  for (const char* button : {"Command2", "Command3", "Command4", "Command5_0", "ComdAccum", "Comdmax"}) {
    click(window.get(), button);
  }
  trigger("MenuExpNow");
  trigger("MenuExpAll");
  EXPECT_TRUE(messages.shown.isEmpty()) << messages.shown.join(u'|').toStdString();
  EXPECT_EQ(conditions.rainGrid, shown);
  EXPECT_EQ(conditions.frameLabel, "200407050030");
  EXPECT_EQ(position(), 1);
  EXPECT_EQ(ombrix::test::namesIn(dir.path()).size(), 2u);
}

}  // namespace
}  // namespace ombrix::ui::test
