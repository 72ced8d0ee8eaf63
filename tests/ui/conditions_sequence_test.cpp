// The conditions sequence: archive directory, area and period dialogs, with the read-outs they
// fill in the main window.
// Preprocessing from the menu: the condition messages, the overwrite question, the run dialog
// with its progress bar, and the file it writes.
#include <gtest/gtest.h>

#include <QAbstractFileIconProvider>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "core/messages.h"
#include "core/region_table.h"
#include "core/rmd_file.h"
#include "support/reliability_inputs.h"
#include "support/test_support.h"
#include "tests/ui/ui_test_support.h"
#include "ui/app_look.h"
#include "ui/archive_directory_dialog.h"
#include "ui/area_dialog.h"
#include "ui/control_factory.h"
#include "ui/overwrite_dialog.h"
#include "ui/period_dialog.h"
#include "ui/preprocess_dialog.h"
#include "ui/qt_text.h"

namespace ombrix::ui::test {
namespace {

namespace fs = std::filesystem;

QString path(const fs::path& p) { return QString::fromStdString(p.string()); }

struct ConditionsTest : MainWindowFixture {
  ombrix::test::TempDir archive;

  ArchiveDirectoryDialog& directory() { return window->archiveDirectoryDialog(); }
  AreaDialog& area() { return window->areaDialog(); }
  PeriodDialog& period() { return window->periodDialog(); }
  QLineEdit* areaBox(const char* name) { return control<QLineEdit>(&area(), QString::fromUtf8(name)); }
  QStringList areaBoxes() {
    return {areaBox("Coad1_0")->text(), areaBox("Coad1_1")->text(), areaBox("Coad2_0")->text(),
            areaBox("Coad2_1")->text()};
  }
  QStringList mainCorners() { return {readout("Coad1_0"), readout("Coad1_1"), readout("Coad2_0"), readout("Coad2_1")}; }
  void clickRegion(int index) {
    // On the button's circle: only the circle and the caption take clicks.
    auto* button = control<QRadioButton>(&area(), elementName("AnaArea", index));
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
  }
  void chooseArchive() {
    ASSERT_TRUE(directory().directoryList().openDirectory(path(archive.path())));
    directory().set();
  }
};

// Qt's own Japanese lacks the file dialog's type column; the program supplies it.
TEST_F(ConditionsTest, StandardDialogsReadJapaneseDownToTheFileDialogsTypeColumn) {
  const QAbstractFileIconProvider types;
  EXPECT_EQ(types.type(QFileInfo(path(archive.path()))), QStringLiteral("フォルダー"));
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("キャンセル"));
}

TEST_F(ConditionsTest, WholeSequenceFillsTheConditionsAndTheReadouts) {
  touchArchiveDay(archive.path(), 2005, 1, 1);
  trigger("MenuMelt");
  EXPECT_EQ(directory().directoryList().openPath(), QDir::currentPath());
  chooseArchive();
  EXPECT_EQ(conditions.archiveDir, archive.path().string());
  EXPECT_EQ(readout("DataPath"), path(archive.path()));
  ASSERT_TRUE(area().isVisible());

  clickRegion(2);
  click(&area(), "Command1");
  EXPECT_EQ(conditions.areaName, "関東");
  EXPECT_EQ(readout("TextArea"), QStringLiteral("関東"));
  EXPECT_EQ(mainCorners(), (QStringList{"39", "137", "34", "141.5"}));
  ASSERT_TRUE(period().isVisible());

  click(&period(), "Command1");  // untouched lists: the single day 1 January 2005
  EXPECT_TRUE(messages.shown.isEmpty()) << messages.shown.join(' ').toStdString();
  EXPECT_EQ(conditions.archiveFileCount, 1);
  EXPECT_EQ((QStringList{readout("YearText_0"), readout("MonthText_0"), readout("DayText_1")}),
            (QStringList{"2005", "1", "1"}));
  EXPECT_FALSE(period().isVisible());
  EXPECT_TRUE(core::missingConditions(conditions.archiveSelection()).empty());
}

TEST_F(ConditionsTest, DirectorySetStoresTheOpenDirectoryAndCloseOrAMissingFolderStoresNothing) {
  fs::create_directories(archive / "sub");
  trigger("MenuMelt");
  click(&directory(), "Command2");
  EXPECT_TRUE(conditions.archiveDir.empty());
  EXPECT_FALSE(area().isVisible());

  trigger("MenuMelt");
  DirectoryList& list = directory().directoryList();
  ASSERT_TRUE(list.openDirectory(path(archive.path())));
  list.setCurrentItem(list.findItems(QStringLiteral("sub"), Qt::MatchEndsWith).front());  // only highlights
  EXPECT_FALSE(list.openDirectory(path(archive / "gone")));
  EXPECT_EQ(messages.shown, QStringList{qtText(messages::kCannotOpenFolder) + path(archive / "gone")});
  directory().set();
  EXPECT_EQ(conditions.archiveDir, archive.path().string());

  trigger("MenuMelt");
  emit list.itemDoubleClicked(list.findItems(QStringLiteral("sub"), Qt::MatchEndsWith).front());
  directory().set();
  EXPECT_EQ(conditions.archiveDir, (archive / "sub").string());
}

TEST_F(ConditionsTest, TheUsersAreaKeepsTheLastRegionsEdgesAndSetStoresTheEditedBoxes) {
  bringUp(area());
  clickRegion(0);
  clickRegion(8);
  EXPECT_EQ(areaBoxes(), (QStringList{"46", "139", "41", "147"}));
  areaBox("Coad2_0")->setText(QStringLiteral("41.123457"));
  click(&area(), "Command1");
  EXPECT_EQ(std::pair(conditions.area.southLat, conditions.area.eastLon), std::pair(41123457, 147000000));
  EXPECT_EQ(core::regionCodeForName(conditions.areaName), "My");
  EXPECT_EQ(readout("TextArea"), QStringLiteral("任意のエリア"));
  EXPECT_EQ(mainCorners(), (QStringList{"46", "139", "41.123456", "147"}));  // the stored edges, not the box texts
}

// The windows are modeless, made once and shown again as they were left.
TEST_F(ConditionsTest, BoxesThatAreNotNumbersStoreNothingAndBackReshowsTheWindowsAsTheyWere) {
  trigger("MenuMelt");
  EXPECT_TRUE(window->isEnabled());
  directory().set();
  clickRegion(1);
  for (const auto& [box, message] : std::vector<std::pair<const char*, messages::Text>>{
           {"Coad1_0", messages::kNorthLatNotNumber}, {"Coad1_1", messages::kWestLonNotNumber},
           {"Coad2_0", messages::kSouthLatNotNumber}, {"Coad2_1", messages::kEastLonNotNumber}}) {
    messages.shown.clear();
    const QString good = areaBox(box)->text();
    areaBox(box)->setText(QStringLiteral("1,5"));
    click(&area(), "Command1");
    EXPECT_EQ(messages.shown, QStringList{qtText(message)}) << box;
    EXPECT_TRUE(area().isVisible());
    areaBox(box)->setText(good);
  }
  EXPECT_TRUE(conditions.areaName.empty());
  EXPECT_EQ(readout("TextArea"), QString());
  areaBox("Coad1_0")->setText(QStringLiteral("not a number"));
  click(&area(), "Command2");
  EXPECT_TRUE(directory().isVisible());
  EXPECT_EQ(conditions.area.northLat, 42000000);  // the clicked edges stay
  EXPECT_EQ(readout("TextArea"), QString());
  directory().set();
  EXPECT_EQ(areaBox("Coad1_0")->text(), QStringLiteral("not a number"));
  EXPECT_TRUE(control<QRadioButton>(&area(), QStringLiteral("AnaArea_1"))->isChecked());
  bringUp(period());
  click(&period(), "Command2");
  EXPECT_TRUE(area().isVisible());
  trigger("MenuMelt");
  EXPECT_EQ(window->findChildren<AreaDialog*>().size() + window->findChildren<ArchiveDirectoryDialog*>().size(), 2);
}

TEST_F(ConditionsTest, PeriodRefusalsShowTheirMessageAndKeepTheReadouts) {
  for (int day = 28; day <= 31; ++day) touchArchiveDay(archive.path(), 2001, 3, day);
  touchArchiveDay(archive.path(), 2001, 4, 1);
  chooseArchive();
  // Each refusal's status is checked in core/archive_calendar_test; here one shows its message.
  bringUp(period());
  setPeriod({"2001", "3", "31"}, {"2001", "4", "1"});
  EXPECT_EQ(messages.shown, QStringList{qtText(messages::kMixedFormats)});
  EXPECT_TRUE(period().isVisible());
  EXPECT_EQ(conditions.archiveFileCount, 0);
  EXPECT_EQ(readout("YearText_0"), QString());
  setPeriod({"2001", "3", "28"}, {"2001", "3", "31"});
  EXPECT_EQ(messages.shown.size(), 1);  // nothing more
  EXPECT_EQ(conditions.archiveFileCount, 4);
  EXPECT_EQ((QStringList{readout("DayText_0"), readout("DayText_1")}), (QStringList{"28", "31"}));
}

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
}

// Refused by the dialog (the period was rejected after the menu command) and by the run.
TEST_F(PreprocessingTest, RefusedRunsShowTheirMessageAndLeaveTheDialogReady) {
  core::GridDescription wider = kKyushuGrid;
  wider.nx = 41;
  for (int day = 1; day <= 3; ++day) writeDay(day == 2 ? wider : kKyushuGrid, day, 2);
  setConditions(3);
  trigger("MenuMaeshori");
  setJulyPeriod(1, 4);  // day 4 is missing: the catalogue is withheld
  messages.shown.clear();
  click(run(), "Command1");
  EXPECT_EQ(messages.shown, QStringList{qtText(messages::kPeriodNotSet)});
  EXPECT_TRUE(runButton("Command1")->isVisible() && runButton("Command2")->isVisible());
  setJulyPeriod(1, 3);
  for (int attempt = 2; attempt <= 3; ++attempt) {
    click(run(), "Command1");
    EXPECT_EQ(messages.shown.size(), attempt);
    EXPECT_EQ(messages.shown.back(), qtText(messages::kGridMismatch));
    EXPECT_TRUE(runButton("Command1")->isVisible() && runButton("Command2")->isVisible());
    EXPECT_FALSE(fs::exists(outputPath()));
  }
  click(run(), "Command2");
  EXPECT_FALSE(run()->isVisible());
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
    EXPECT_EQ(ProgressTrack::stepsWidth(track, done, files), width) << track << " " << files;
  }
}

}  // namespace
}  // namespace ombrix::ui::test
