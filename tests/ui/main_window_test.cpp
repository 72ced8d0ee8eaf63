// The main window at start, its menu tree, the secondary windows' lifetime and the end of the
// program.
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
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

using MainWindowTest = MainWindowFixture;

QStringList menuEntries(const QMenu* menu) {
  QStringList entries;
  for (const QAction* action : menu->actions()) {
    entries.append(action->objectName() + QLatin1Char('=') + (action->isSeparator() ? QStringLiteral("-") : action->text()));
    EXPECT_TRUE(action->isEnabled()) << action->objectName().toStdString();
    EXPECT_FALSE(action->isCheckable()) << action->objectName().toStdString();
  }
  return entries;
}

TEST_F(MainWindowTest, StartsWithTheLayoutEmptyReadoutsAndNoConditions) {
  EXPECT_EQ(window->objectName(), QStringLiteral("Form1"));
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Ombrix ver.2.0 2009年度版"));
  EXPECT_EQ(window->centralWidget()->size(), QSize(1013, 619));
  EXPECT_FALSE(window->windowIcon().isNull());
  for (const auto& [name, geometry] : {std::pair{"Frame2_0", QRect(16, 8, 289, 257)}, {"Frame1", {16, 272, 289, 337}},
                                       {"Coad2_1", {192, 144, 65, 18}}, {"Shape1_15", {136, 40, 17, 17}},
                                       {"PictArea", {312, 16, 689, 593}}, {"Reading_Bar", {0, 0, 1, 25}}}) {
    QWidget* widget = control<QWidget>(window.get(), QString::fromUtf8(name));
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->geometry(), geometry) << name;
  }
  QWidget* frame1 = control<QWidget>(window.get(), QStringLiteral("Frame1"));
  EXPECT_FALSE(frame1->isVisible());
  for (const auto& [name, visible] : {std::pair{"Command5_0", true}, {"Command5_1", false}, {"Frame3", true},
                                      {"Frame4", false}}) {
    EXPECT_EQ(control<QWidget>(frame1, QString::fromUtf8(name))->isVisibleTo(frame1), visible) << name;
  }
  EXPECT_EQ(control<QWidget>(frame1, QStringLiteral("Shape1_15"))->parentWidget()->objectName(), QStringLiteral("Frame3"));
  EXPECT_EQ(control<QLabel>(frame1, QStringLiteral("Label10_16"))->text(), QStringLiteral("60 - 80mm/h"));

  // The bold caption font stays with the frame; its children keep regular type. The layout's
  // Windows fonts resolve to the free fonts installed in their place.
  auto* frame2 = control<QGroupBox>(window.get(), QStringLiteral("Frame2_0"));
  EXPECT_TRUE(frame2->isVisible());
  EXPECT_TRUE(frame2->font().bold());
  EXPECT_EQ(frame2->font().pointSizeF(), 12.0);
  auto* label = control<QLabel>(frame2, QStringLiteral("Label4"));
  EXPECT_FALSE(label->font().bold());
  EXPECT_EQ(label->text(), QStringLiteral("データファイル保存フォルダ"));
  EXPECT_EQ(QFontInfo(label->font()).family(), QStringLiteral("IPAPGothic"));
  EXPECT_EQ(QFontInfo(control<QLineEdit>(window.get(), QStringLiteral("Text2"))->font()).family(),
            QStringLiteral("Liberation Sans"));

  for (const char* box : {"DataPath", "TextArea", "Coad1_0", "Coad1_1", "Coad2_0", "Coad2_1", "YearText_0",
                          "MonthText_0", "DayText_0", "YearText_1", "MonthText_1", "DayText_1", "Text2"}) {
    EXPECT_EQ(readout(box), QString()) << box;
  }
  EXPECT_EQ(core::missingConditions(conditions).size(), 3u);
  EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(MainWindowTest, MenuTreeHasEveryCommandInOrder) {
  const QList<QAction*> top = window->menuBar()->actions();
  ASSERT_EQ(top.size(), 3);
  EXPECT_EQ(top[0]->text(), QStringLiteral("ファイル"));
  EXPECT_EQ(top[1]->text(), QStringLiteral("解析"));
  EXPECT_EQ(top[2]->text(), QStringLiteral("ヘルプ"));
  EXPECT_EQ(menuEntries(window->findChild<QMenu*>(QStringLiteral("Fail"))),
            (QStringList{QStringLiteral("MenuMelt=アメダスデータ解凍設定"), QStringLiteral("MenuMaeshori=アメダスデータ解凍・保存"),
                         QStringLiteral("MenuOpneFile=解凍済みデータを開く"), QStringLiteral("menubar2=-"),
                         QStringLiteral("MenuExp=CSVエクスポート"), QStringLiteral("MenuGis=GISエクスポート"),
                         QStringLiteral("Menubar3=-"),
                         QStringLiteral("menuCSVTable=地点IDの雨量テーブルの出力"), QStringLiteral("Menubar4=-"),
                         QStringLiteral("MenuEnd=終了")}));
  EXPECT_EQ(menuEntries(window->findChild<QMenu*>(QStringLiteral("MenuExp"))),
            (QStringList{QStringLiteral("MenuExpNow=現在表示の値"), QStringLiteral("MenuExpAll=指定期間の全て")}));
  EXPECT_EQ(menuEntries(window->findChild<QMenu*>(QStringLiteral("MenuGis"))),
            (QStringList{QStringLiteral("MenuGisNetcdf=NetCDF（全期間）"),
                         QStringLiteral("MenuGisGeoTiff=GeoTIFF（表示中の地図）")}));
  EXPECT_EQ(menuEntries(window->findChild<QMenu*>(QStringLiteral("MenuKaiseki"))),
            (QStringList{QStringLiteral("MenuArealRain=流域平均雨量…"), QStringLiteral("MenuDurationMax=最大時間雨量マップ…")}));
  EXPECT_EQ(menuEntries(window->findChild<QMenu*>(QStringLiteral("HelpMenu"))),
            (QStringList{QStringLiteral("MenuVer=バージョン情報")}));
}

TEST_F(MainWindowTest, SecondaryWindowsAreCreatedOnceAndReshownUnchanged) {
  trigger("MenuMelt");
  ArchiveDirectoryDialog* directory = window->findChild<ArchiveDirectoryDialog*>();
  ASSERT_NE(directory, nullptr);
  EXPECT_TRUE(directory->isVisible());
  EXPECT_TRUE(window->isEnabled());  // modeless
  directory->set();
  AreaDialog* area = window->findChild<AreaDialog*>();
  ASSERT_NE(area, nullptr);
  area->chooseRegion(4);
  control<QLineEdit>(area, QStringLiteral("Coad2_1"))->setText(QStringLiteral("135.5"));
  area->back();
  EXPECT_FALSE(area->isVisible());
  directory->set();
  EXPECT_EQ(window->findChildren<AreaDialog*>().size(), 1);
  EXPECT_TRUE(area->isVisible());
  EXPECT_EQ(control<QLineEdit>(area, QStringLiteral("Coad2_1"))->text(), QStringLiteral("135.5"));
  EXPECT_TRUE(control<QRadioButton>(area, QStringLiteral("AnaArea_4"))->isChecked());
  trigger("MenuMelt");
  trigger("MenuMelt");
  EXPECT_EQ(window->findChildren<ArchiveDirectoryDialog*>().size(), 1);

  trigger("MenuVer");
  VersionWindow* version = window->findChild<VersionWindow*>();
  ASSERT_NE(version, nullptr);
  click(version, "Command1");
  EXPECT_FALSE(version->isVisible());
  trigger("MenuVer");
  EXPECT_TRUE(version->isVisible());
  EXPECT_EQ(window->findChildren<VersionWindow*>().size(), 1);
}

TEST_F(MainWindowTest, VersionWindowShowsTheNoticeBeforeOpeningThePage) {
  trigger("MenuVer");
  VersionWindow* version = window->findChild<VersionWindow*>();
  ASSERT_NE(version, nullptr);
  EXPECT_EQ(version->windowTitle(), QStringLiteral("Help"));
  EXPECT_EQ(version->size(), QSize(524, 131));
  auto* title = control<QLabel>(version, QStringLiteral("Label1"));
  EXPECT_EQ(title->text(), QStringLiteral("Ombrix ver.2.0"));
  EXPECT_TRUE(title->font().bold());
  auto* address = control<QLabel>(version, QStringLiteral("Label2"));
  EXPECT_TRUE(address->font().underline());
  EXPECT_FALSE(control<QLabel>(version, QStringLiteral("Picture1"))->pixmap().isNull());
  for (int clickCount = 1; clickCount <= 2; ++clickCount) {
    QTest::mouseClick(address, Qt::LeftButton);
    EXPECT_EQ(messages.shown.size(), clickCount);
    EXPECT_EQ(openedUrls.size(), clickCount);
  }
  EXPECT_EQ(messages.shown.front(), qtText(messages::kInternetNeeded));
  EXPECT_EQ(openedUrls.front(), QUrl(address->text()));
}

TEST_F(MainWindowTest, EndCommandEndsTheProgramWithASecondaryWindowOpen) {
  QTimer::singleShot(0, window.get(), [this] {
    trigger("MenuVer");
    trigger("MenuMelt");
    trigger("MenuEnd");
  });
  // Should the command not end the event loop, this ends it with a failing code.
  QTimer::singleShot(10000, window.get(), [] { QCoreApplication::exit(1); });
  EXPECT_EQ(QApplication::exec(), 0);
  EXPECT_TRUE(window->isEnding());
  EXPECT_FALSE(window->isVisible());
  EXPECT_FALSE(window->findChild<VersionWindow*>()->isVisible());
  EXPECT_FALSE(window->findChild<ArchiveDirectoryDialog*>()->isVisible());
  EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(MainWindowTest, CloseBoxEndsTheProgramAfterTheVersionWindowWasHidden) {
  trigger("MenuVer");
  click(window->findChild<VersionWindow*>(), "Command1");
  QTimer::singleShot(0, window.get(), [this] { window->close(); });
  QTimer::singleShot(10000, window.get(), [] { QCoreApplication::exit(1); });
  EXPECT_EQ(QApplication::exec(), 0);
  EXPECT_TRUE(window->isEnding());
  EXPECT_TRUE(messages.shown.isEmpty());
}

}  // namespace
}  // namespace ombrix::ui::test
