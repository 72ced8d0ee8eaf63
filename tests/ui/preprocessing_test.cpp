// Preprocessing from the menu: the condition messages, the overwrite question, the run dialog
// with its progress bar, and the file it writes.
#include <QFrame>
#include <QPushButton>
#include <QTimer>

#include "core/messages.h"
#include "core/rmd_file.h"
#include "support/reliability_inputs.h"
#include "tests/ui/ui_test_support.h"
#include "ui/overwrite_dialog.h"
#include "ui/preprocess_dialog.h"
#include "ui/qt_text.h"

namespace ombrix::ui::test {
namespace {

namespace fs = std::filesystem;

struct PreprocessingTest : MainWindowFixture {
  ombrix::test::TempDir archive;

  OverwriteDialog* overwrite() { return window->findChild<OverwriteDialog*>(); }
  PreprocessDialog* run() { return window->findChild<PreprocessDialog*>(); }
  QPushButton* runButton(const char* name) { return control<QPushButton>(run(), QString::fromUtf8(name)); }
  void setConditions(int lastDay) {
    chooseKyushu(archive.path());
    setJulyPeriod(1, lastDay);
    ASSERT_TRUE(messages.shown.isEmpty()) << messages.shown.join(' ').toStdString();
  }
  void writeDay(const core::GridDescription& grid, int day, int count) {
    ombrix::test::writeArchiveDay(archive.path(), grid, 2005, 7, day, count, [day](int j, std::size_t i) {
      return static_cast<std::int16_t>((day + j + static_cast<int>(i)) % 50);
    });
  }
  std::string outputPath() const { return (archive / "Ky20057012005703.RMD").string(); }
};

TEST_F(PreprocessingTest, WithoutConditionsTheThreeMessagesAppearInOrder) {
  trigger("MenuMaeshori");
  EXPECT_EQ(messages.shown, (QStringList{qtText(messages::kAreaNotSet), qtText(messages::kPeriodNotSet),
                                         qtText(messages::kArchiveDirNotSet)}));
  EXPECT_EQ(overwrite(), nullptr);
  EXPECT_EQ(run(), nullptr);
}

// The overwrite question both ways, then the run with its progress and the file it writes.
TEST_F(PreprocessingTest, OverwriteQuestionThenTheRunShowsProgressAndWritesTheFile) {
  for (int day = 1; day <= 3; ++day) writeDay(kKyushuGrid, day, 48);
  setConditions(3);
  ombrix::test::writeText(outputPath(), "keep");
  trigger("MenuMaeshori");
  ASSERT_NE(overwrite(), nullptr);
  click(overwrite(), "Command2");
  EXPECT_EQ(run(), nullptr);
  trigger("MenuMaeshori");
  click(overwrite(), "Command1");
  ASSERT_NE(run(), nullptr);
  EXPECT_EQ(conditions.outputRmdPath, outputPath());
  EXPECT_EQ(ombrix::test::readText(outputPath()), "keep");  // nothing runs before the start button
  // Seen from inside the run, when it first lets events run.
  bool buttonsShown = true;
  int barAtFirstFile = -1;
  bool shownAfterClose = false;
  QTimer::singleShot(0, run(), [&] {
    buttonsShown = runButton("Command1")->isVisible() || runButton("Command2")->isVisible();
    barAtFirstFile = control<QFrame>(run(), QStringLiteral("Reading_Bar"))->width();
    run()->close();  // ignored while the run works
    shownAfterClose = run()->isVisible();
  });
  click(run(), "Command1");
  EXPECT_FALSE(buttonsShown);
  EXPECT_EQ(barAtFirstFile, 0);  // the first file's width is set just after the yield
  EXPECT_TRUE(shownAfterClose);
  EXPECT_EQ(messages.shown, QStringList{qtText(messages::kPreprocessingDone)});
  EXPECT_FALSE(run()->isVisible());
  EXPECT_EQ(control<QFrame>(run(), QStringLiteral("Reading_Bar"))->width(),
            control<QFrame>(run(), QStringLiteral("Picture_Reading"))->width());
  EXPECT_EQ(conditions.outFrameCount, 144);
  core::RmdContents contents;
  ASSERT_TRUE(core::readRmdFile(outputPath(), contents));
  EXPECT_EQ(contents.header.fileWestLon, 128000000);  // the Kyushu window from the grid's west edge
  EXPECT_EQ(contents.header.gridCols, 40);
}

TEST_F(PreprocessingTest, GridMismatchIsRefusedAndTheDialogStaysReady) {
  core::GridDescription wider = kKyushuGrid;
  wider.nx = 41;
  for (int day = 1; day <= 3; ++day) writeDay(day == 2 ? wider : kKyushuGrid, day, 2);
  setConditions(3);
  trigger("MenuMaeshori");
  for (int attempt = 1; attempt <= 2; ++attempt) {
    click(run(), "Command1");
    EXPECT_EQ(messages.shown.size(), attempt);
    EXPECT_EQ(messages.shown.back(), qtText(messages::kGridMismatch));
    EXPECT_TRUE(runButton("Command1")->isVisible() && runButton("Command2")->isVisible());
    EXPECT_FALSE(fs::exists(outputPath()));
  }
  click(run(), "Command2");
  EXPECT_FALSE(run()->isVisible());
}

TEST_F(PreprocessingTest, ARunStartedAfterThePeriodWasRejectedReportsIt) {
  writeDay(kKyushuGrid, 1, 2);
  setConditions(1);
  trigger("MenuMaeshori");
  setJulyPeriod(1, 2);  // day 2 is missing: the catalogue is withheld
  messages.shown.clear();
  click(run(), "Command1");
  EXPECT_EQ(messages.shown, QStringList{qtText(messages::kPeriodNotSet)});
  EXPECT_TRUE(runButton("Command1")->isVisible());
}

TEST_F(PreprocessingTest, EndingTheProgramDuringARunShowsNothingMoreAndLeavesAWholeFile) {
  for (int day = 1; day <= 3; ++day) writeDay(kKyushuGrid, day, 4);
  setConditions(3);
  trigger("MenuMaeshori");
  QTimer::singleShot(0, run(), [this] { trigger("MenuEnd"); });
  click(run(), "Command1");
  EXPECT_TRUE(window->isEnding());
  EXPECT_FALSE(run()->isVisible());
  EXPECT_TRUE(messages.shown.isEmpty());
  EXPECT_FALSE(run()->isRunning());
  core::RmdContents contents;
  EXPECT_TRUE(core::readRmdFile(outputPath(), contents));
  EXPECT_EQ(contents.header.frameCount, 144);
}

TEST(PreprocessBar, StepIsTheTrackWidthPerFileRoundedHalfToEven) {
  // 136.5 rounds to 136, 137.5 to 138; 400 files on 273 pixels step by 1 (0.6825 rounded).
  for (const auto& [track, files, done, width] :
       std::vector<std::array<int, 4>>{{273, 3, 3, 273}, {273, 2, 1, 136}, {275, 2, 1, 138}, {273, 400, 400, 400}, {273, 0, 1, 0}}) {
    EXPECT_EQ(PreprocessDialog::barWidth(track, done, files), width) << track << " " << files;
  }
}

}  // namespace
}  // namespace ombrix::ui::test
