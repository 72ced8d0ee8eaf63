// The main window at start, the secondary windows' lifetime and the end of the program.
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "core/messages.h"
#include "tests/ui/ui_test_support.h"
#include "ui/archive_directory_dialog.h"
#include "ui/area_dialog.h"
#include "ui/qt_text.h"
#include "ui/version_window.h"

namespace ombrix::ui::test {
namespace {

struct MainWindowTest : MainWindowFixture {
  // Runs the event loop with action queued; true when the program ended it normally.
  bool endsTheProgram(const std::function<void()>& action) {
    QTimer::singleShot(0, window.get(), action);
    QTimer::singleShot(10000, window.get(), [] { QCoreApplication::exit(1); });  // should it not end
    return QApplication::exec() == 0 && window->isEnding() && messages.shown.isEmpty();
  }
};

TEST_F(MainWindowTest, StartsWithTheLayoutEmptyReadoutsAndNoConditions) {
  EXPECT_EQ(window->centralWidget()->size(), QSize(1013, 619));
  EXPECT_FALSE(window->windowIcon().isNull());
  for (const auto& [name, geometry] : {std::pair{"Frame2_0", QRect(16, 8, 289, 257)}, {"PictArea", {312, 16, 689, 593}}}) {
    EXPECT_EQ(control<QWidget>(window.get(), QString::fromUtf8(name))->geometry(), geometry) << name;
  }
  QWidget* frame1 = control<QWidget>(window.get(), QStringLiteral("Frame1"));
  EXPECT_FALSE(frame1->isVisible());  // the drawing controls wait for an open file
  EXPECT_FALSE(control<QWidget>(frame1, QStringLiteral("Command5_1"))->isVisibleTo(frame1));
  // The bold caption font stays with the frame; its children keep regular type in the free
  // font installed for the layout's one.
  auto* frame2 = control<QGroupBox>(window.get(), QStringLiteral("Frame2_0"));
  EXPECT_TRUE(frame2->font().bold());
  auto* label = control<QLabel>(frame2, QStringLiteral("Label4"));
  EXPECT_FALSE(label->font().bold());
  EXPECT_EQ(QFontInfo(label->font()).family(), QStringLiteral("IPAPGothic"));
  for (const char* box : {"DataPath", "TextArea", "Coad1_0", "YearText_0", "DayText_1", "Text2"}) {
    EXPECT_EQ(readout(box), QString()) << box;
  }
  EXPECT_EQ(core::missingConditions(conditions).size(), 3u);
}

TEST_F(MainWindowTest, SecondaryWindowsAreCreatedOnceAndReshownUnchanged) {
  trigger("MenuMelt");
  auto* directory = window->findChild<ArchiveDirectoryDialog*>();
  ASSERT_NE(directory, nullptr);
  EXPECT_TRUE(window->isEnabled());  // modeless
  directory->set();
  auto* area = window->findChild<AreaDialog*>();
  ASSERT_NE(area, nullptr);
  area->chooseRegion(4);
  control<QLineEdit>(area, QStringLiteral("Coad2_1"))->setText(QStringLiteral("135.5"));
  area->back();
  directory->set();
  EXPECT_TRUE(area->isVisible());
  EXPECT_EQ(control<QLineEdit>(area, QStringLiteral("Coad2_1"))->text(), QStringLiteral("135.5"));
  EXPECT_TRUE(control<QRadioButton>(area, QStringLiteral("AnaArea_4"))->isChecked());
  trigger("MenuMelt");
  EXPECT_EQ(window->findChildren<AreaDialog*>().size(), 1);
  EXPECT_EQ(window->findChildren<ArchiveDirectoryDialog*>().size(), 1);
}

TEST_F(MainWindowTest, VersionWindowShowsTheNoticeBeforeOpeningThePageEveryTime) {
  trigger("MenuVer");
  auto* address = control<QLabel>(window->findChild<VersionWindow*>(), QStringLiteral("Label2"));
  ASSERT_NE(address, nullptr);
  QTest::mouseClick(address, Qt::LeftButton);
  QTest::mouseClick(address, Qt::LeftButton);
  EXPECT_EQ(messages.shown, QStringList(2, qtText(messages::kInternetNeeded)));
  EXPECT_EQ(openedUrls, QList<QUrl>(2, QUrl(address->text())));
}

TEST_F(MainWindowTest, EndCommandEndsTheProgramWithASecondaryWindowOpen) {
  EXPECT_TRUE(endsTheProgram([this] {
    trigger("MenuVer");
    trigger("MenuMelt");
    trigger("MenuEnd");
  }));
  EXPECT_FALSE(window->isVisible());
  EXPECT_FALSE(window->findChild<VersionWindow*>()->isVisible());
  EXPECT_FALSE(window->findChild<ArchiveDirectoryDialog*>()->isVisible());
}

}  // namespace
}  // namespace ombrix::ui::test
