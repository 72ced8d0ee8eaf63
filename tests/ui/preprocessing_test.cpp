// Preprocessing from the menu: the condition messages, the overwrite question, the run dialog
// with its progress bar, and the file it writes.
#include <QFrame>
#include <QPushButton>
#include <QTimer>

#include "core/messages.h"
#include "core/rmd_file.h"
#include "support/reliability_inputs.h"
#include "support/test_support.h"
#include "tests/ui/ui_test_support.h"
#include "ui/archive_directory_dialog.h"
#include "ui/area_dialog.h"
#include "ui/overwrite_dialog.h"
#include "ui/period_dialog.h"
#include "ui/preprocess_dialog.h"
#include "ui/qt_text.h"

namespace ombrix::ui::test {
namespace {

namespace fs = std::filesystem;

// A 40 x 30 grid from 128 E, 35 N: inside the Kyushu region.
const core::GridDescription kGrid{35000000, 128000000, 31250, 20833, 40, 30};

struct PreprocessingTest : MainWindowFixture {
  ombrix::test::TempDir archive;

  OverwriteDialog* overwrite() { return window->findChild<OverwriteDialog*>(); }
  PreprocessDialog* run() { return window->findChild<PreprocessDialog*>(); }
  QPushButton* runButton(const char* name) { return control<QPushButton>(run(), QString::fromUtf8(name)); }

  // The conditions sequence through the dialogs: Kyushu, 2005-07-01 to the given day.
  void setConditions(int lastDay) {
    ASSERT_TRUE(window->archiveDirectoryDialog().directoryList().openDirectory(
        QString::fromStdString(archive.path().string())));
    window->archiveDirectoryDialog().set();
    window->areaDialog().chooseRegion(5);
    window->areaDialog().set();
    PeriodDialog& period = window->periodDialog();
    const std::vector<std::pair<const char*, QString>> texts{{"Combo1_0", "2005"}, {"Combo2_0", "7"},
                                                             {"Combo3_0", "1"},    {"Combo1_1", "2005"},
                                                             {"Combo2_1", "7"},    {"Combo3_1", QString::number(lastDay)}};
    for (const auto& [name, text] : texts) control<QComboBox>(&period, QString::fromUtf8(name))->setEditText(text);
    period.set();
    ASSERT_TRUE(messages.shown.isEmpty()) << messages.shown.join(' ').toStdString();
  }
  void writeDay(const core::GridDescription& grid, int day, int count, int value) {
    ombrix::test::writeArchiveDay(archive.path(), grid, 2005, 7, day, count, [value](int j, std::size_t i) {
      return static_cast<std::int16_t>((value + j + static_cast<int>(i)) % 50);
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

TEST_F(PreprocessingTest, RunFromTheMenuShowsProgressAndWritesTheFile) {
  for (int day = 1; day <= 3; ++day) writeDay(kGrid, day, 48, static_cast<std::int16_t>(day));
  setConditions(3);
  trigger("MenuMaeshori");
  ASSERT_NE(run(), nullptr);
  EXPECT_EQ(conditions.outputRmdPath, outputPath());
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

TEST_F(PreprocessingTest, OverwriteQuestionBothWays) {
  for (int day = 1; day <= 3; ++day) writeDay(kGrid, day, 2, 7);
  setConditions(3);
  ombrix::test::writeText(outputPath(), "keep");

  trigger("MenuMaeshori");
  ASSERT_NE(overwrite(), nullptr);
  click(overwrite(), "Command2");
  EXPECT_EQ(run(), nullptr);
  EXPECT_EQ(ombrix::test::readText(outputPath()), "keep");

  trigger("MenuMaeshori");
  click(overwrite(), "Command1");
  ASSERT_NE(run(), nullptr);
  EXPECT_EQ(ombrix::test::readText(outputPath()), "keep");  // nothing runs before the start button
  click(run(), "Command1");
  EXPECT_GT(fs::file_size(outputPath()), 4u);
  EXPECT_TRUE(messages.shown.endsWith(qtText(messages::kPreprocessingDone)));
}

TEST_F(PreprocessingTest, GridMismatchIsRefusedAndTheDialogStaysReady) {
  writeDay(kGrid, 1, 2, 1);
  core::GridDescription wider = kGrid;
  wider.nx = 41;
  writeDay(wider, 2, 2, 1);
  writeDay(kGrid, 3, 2, 1);
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
  writeDay(kGrid, 1, 2, 1);
  setConditions(1);
  trigger("MenuMaeshori");
  PeriodDialog& period = window->periodDialog();
  control<QComboBox>(&period, QStringLiteral("Combo3_1"))->setEditText(QStringLiteral("2"));
  period.set();  // day 2 is missing: the catalogue is withheld
  messages.shown.clear();
  click(run(), "Command1");
  EXPECT_EQ(messages.shown, QStringList{qtText(messages::kPeriodNotSet)});
  EXPECT_TRUE(runButton("Command1")->isVisible());
}

TEST_F(PreprocessingTest, EndingTheProgramDuringARunShowsNothingMoreAndLeavesAWholeFile) {
  for (int day = 1; day <= 3; ++day) writeDay(kGrid, day, 4, 3);
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
