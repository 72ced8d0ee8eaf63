// Opening preprocessed files through FileOpen: the file list, what an open shows, and the
// refusals after which the viewer's commands stay quiet.
#include <QGroupBox>

#include "core/messages.h"
#include "tests/ui/viewer_test_support.h"
#include "ui/qt_text.h"

namespace ombrix::ui::test {
namespace {

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
  EXPECT_EQ(conditions.openRmdPath, path.string());
  EXPECT_EQ(std::pair(conditions.geometry.viewWidth, conditions.geometry.viewHeight), std::pair(689.0f, 593.0f));
  const QStringList expected{QStringLiteral("九州"), QString::fromStdString(path.string()), QStringLiteral("35.7"),
                             QStringLiteral("139.6"), QStringLiteral("35.68333"), QStringLiteral("139.6375"),
                             QStringLiteral("2004"), QStringLiteral("7"), QStringLiteral("5"), QStringLiteral("6")};
  QStringList shown;
  for (const char* box : {"TextArea", "DataPath", "Coad1_0", "Coad1_1", "Coad2_0", "Coad2_1", "YearText_0",
                          "MonthText_0", "DayText_0", "DayText_1"}) {
    shown.append(readout(box));
  }
  EXPECT_EQ(shown, expected);
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
  click(window.get(), "Command3");
  const std::vector<std::int16_t> shown = conditions.rainGrid;
  controls.endTime->setCurrentIndex(2);
  messages.shown.clear();
  open("");
  EXPECT_EQ(messages.shown, QStringList{qtText(messages::kFileNotFound)});
  EXPECT_TRUE(conditions.openRmdPath.empty());
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
