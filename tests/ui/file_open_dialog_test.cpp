// Opening preprocessed files through FileOpen: the file list, what a successful open shows, and
// the refusals after which the viewer's commands stay quiet.
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

#include "core/messages.h"
#include "tests/ui/viewer_test_support.h"
#include "ui/qt_text.h"

namespace ombrix::ui::test {
namespace {

namespace fs = std::filesystem;

using FileOpenTest = ViewerFixture;

std::int16_t frameValue(int k, int cell) { return static_cast<std::int16_t>(k * 100 + cell); }

QStringList listed(FileOpenDialog& dialog) {
  QStringList names;
  for (int i = 0; i < dialog.fileList().count(); ++i) names.append(dialog.fileList().item(i)->text());
  return names;
}

TEST_F(FileOpenTest, ListsOnlyUpperCaseRmdFilesAndNoHiddenOnes) {
  writeFile("Ky200475200475.RMD", 2, 2, 3, frameValue);
  ombrix::test::writeText(dir / "lower.rmd", "x");
  ombrix::test::writeText(dir / "notes.RMD.txt", "x");
  ombrix::test::writeText(dir / ".Ka200475200475.RMD", "x");
  ombrix::test::writeText(dir / ".Ka200475200475.RMD.123-4-0.part", "x");
  fs::create_directory(dir / "folder.RMD");
  open("");
  FileOpenDialog& dialog = viewer.fileOpenDialog();
  EXPECT_EQ(dialog.objectName(), QStringLiteral("FileOpen"));
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("前処理済みデータを開く"));
  EXPECT_EQ(listed(dialog), QStringList{QStringLiteral("Ky200475200475.RMD")});

  // A file written while the dialog is hidden shows when it comes up again.
  dialog.hide();
  writeFile("AJ200475200475.RMD", 2, 2, 3, frameValue);
  viewer.showFileOpenDialog();
  EXPECT_EQ(listed(dialog), (QStringList{QStringLiteral("AJ200475200475.RMD"), QStringLiteral("Ky200475200475.RMD")}));
}

TEST_F(FileOpenTest, OpeningFillsTheListsReadoutsAndDrawingControls) {
  const fs::path path = writeFile("Ky2004752004751.RMD", 50, 3, 4, frameValue);
  trigger("MenuOpneFile");
  open("Ky2004752004751.RMD");
  EXPECT_TRUE(messages.shown.isEmpty()) << messages.shown.join(u'|').toStdString();
  EXPECT_EQ(conditions.openRmdPath, path.string());
  EXPECT_EQ(conditions.openRmdDir, dir.path().string());
  EXPECT_EQ(conditions.frameCount, 50);
  EXPECT_EQ(conditions.viewWidth, 689.0f);
  EXPECT_EQ(conditions.viewHeight, 593.0f);
  EXPECT_EQ(conditions.areaName, "九州");

  EXPECT_EQ(readout("TextArea"), QStringLiteral("九州"));
  EXPECT_EQ(readout("DataPath"), QString::fromStdString(path.string()));
  EXPECT_EQ(readout("Coad1_0"), QStringLiteral("35.7"));
  EXPECT_EQ(readout("Coad1_1"), QStringLiteral("139.6"));
  EXPECT_EQ(readout("Coad2_0"), QStringLiteral("35.68333"));
  EXPECT_EQ(readout("Coad2_1"), QStringLiteral("139.6375"));
  EXPECT_EQ(readout("YearText_0"), QStringLiteral("2004"));
  EXPECT_EQ(readout("MonthText_0"), QStringLiteral("7"));
  EXPECT_EQ(readout("DayText_0"), QStringLiteral("5"));
  EXPECT_EQ(readout("DayText_1"), QStringLiteral("6"));

  for (QComboBox* list : {controls.startTime, controls.endTime}) {
    ASSERT_EQ(list->count(), 50);
    EXPECT_EQ(list->itemText(0), QStringLiteral("2004/7/5 00: 00"));
    EXPECT_EQ(list->itemText(19), QStringLiteral("2004/7/5 09: 30"));
    EXPECT_EQ(list->itemText(49), QStringLiteral("2004/7/6 00: 30"));
    EXPECT_EQ(list->currentIndex(), 0);
  }
  EXPECT_EQ(readout("Text2"), QStringLiteral("2004/7/5 00: 00"));
  EXPECT_TRUE(controls.frame->isVisible());
  EXPECT_TRUE(viewer.fileOpenDialog().isVisible());
  EXPECT_TRUE(conditions.frameLabel.empty());
}

TEST_F(FileOpenTest, AnUnknownCodeKeepsTheAreaName) {
  writeFile("Zz200475200475.RMD", 2, 2, 3, frameValue);
  window->readouts().showAreaName(QStringLiteral("関東"));
  conditions.areaName = "関東";
  open("Zz200475200475.RMD");
  EXPECT_EQ(readout("TextArea"), QStringLiteral("関東"));
  EXPECT_EQ(conditions.areaName, "関東");
}

TEST_F(FileOpenTest, MissingAndUnusableFilesAreRefused) {
  writeFile("Ky200475200475.RMD", 2, 2, 3, frameValue);
  open("");
  EXPECT_EQ(messages.shown, QStringList{qtText(messages::kFileNotFound)});
  EXPECT_TRUE(conditions.openRmdPath.empty());
  EXPECT_EQ(conditions.openRmdDir, dir.path().string());

  messages.shown.clear();
  viewer.fileOpenDialog().fileList().item(0)->setSelected(true);
  fs::remove(dir / "Ky200475200475.RMD");
  click(&viewer.fileOpenDialog(), "Command1");
  EXPECT_EQ(messages.shown, QStringList{qtText(messages::kFileNotFound)});
  EXPECT_TRUE(conditions.openRmdPath.empty());
  EXPECT_FALSE(controls.frame->isVisible());

  messages.shown.clear();
  ombrix::test::writeText(dir / "Ka200475200475.RMD", "not a preprocessed file");
  open("Ka200475200475.RMD");
  ASSERT_EQ(messages.shown.size(), 1);
  EXPECT_TRUE(messages.shown.front().startsWith(qtText(messages::kNotRmdFile))) << messages.shown.front().toStdString();
  EXPECT_TRUE(conditions.openRmdPath.empty());
  EXPECT_FALSE(controls.frame->isVisible());
}

TEST_F(FileOpenTest, AfterAFailedOpenTheViewerCommandsStayQuiet) {
  writeFile("Ky2004752004751.RMD", 3, 2, 3, frameValue);
  open("Ky2004752004751.RMD");
  click(window.get(), "Command3");
  ASSERT_EQ(conditions.frameLabel, "200407050030");
  const std::vector<std::int16_t> shown = conditions.rainGrid;
  controls.endTime->setCurrentIndex(2);
  open("");
  messages.shown.clear();
  const auto before = std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator());

  for (const char* button : {"Command2", "Command3", "Command4", "Command5_0", "ComdAccum", "Comdmax"}) {
    click(window.get(), button);
  }
  trigger("MenuExpNow");
  trigger("MenuExpAll");
  EXPECT_TRUE(messages.shown.isEmpty()) << messages.shown.join(u'|').toStdString();
  EXPECT_EQ(conditions.rainGrid, shown);
  EXPECT_EQ(conditions.frameLabel, "200407050030");
  EXPECT_EQ(conditions.viewerState, core::kViewerIdle);
  EXPECT_EQ(position(), 1);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), before);
}

}  // namespace
}  // namespace ombrix::ui::test
