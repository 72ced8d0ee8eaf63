// The conditions sequence: archive directory, area and period dialogs, with the read-outs they
// fill in the main window.
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTest>

#include "core/archive_calendar.h"
#include "core/messages.h"
#include "core/region_table.h"
#include "support/test_support.h"
#include "tests/ui/ui_test_support.h"
#include "ui/app_look.h"
#include "ui/archive_directory_dialog.h"
#include "ui/area_dialog.h"
#include "ui/control_factory.h"
#include "ui/period_dialog.h"
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
  // Types a row of the period dialog: year, month and day texts.
  void typeRow(int row, const QString& year, const QString& month, const QString& day) {
    const QStringList texts{year, month, day};
    for (int list = 0; list < 3; ++list) {
      control<QComboBox>(&period(), elementName(("Combo" + std::to_string(list + 1)).c_str(), row))
          ->setEditText(texts[list]);
    }
  }
  void chooseArchive() {
    ASSERT_TRUE(directory().directoryList().openDirectory(path(archive.path())));
    directory().set();
  }
};

TEST_F(ConditionsTest, WholeSequenceFillsTheConditionsAndTheReadouts) {
  touchArchiveDay(archive.path(), 2005, 1, 1);
  trigger("MenuMelt");
  EXPECT_EQ(directory().windowTitle(), QStringLiteral("気象庁レーダアメダスデータの保存ディレクトリの指定"));
  EXPECT_EQ(directory().directoryList().openPath(), QDir::currentPath());
  chooseArchive();
  EXPECT_EQ(conditions.archiveDir, archive.path().string());
  EXPECT_EQ(readout("DataPath"), path(archive.path()));
  EXPECT_FALSE(directory().isVisible());
  ASSERT_TRUE(area().isVisible());

  clickRegion(2);
  click(&area(), "Command1");
  EXPECT_EQ(conditions.areaName, "関東");
  EXPECT_EQ(readout("TextArea"), QStringLiteral("関東"));
  EXPECT_EQ(mainCorners(), (QStringList{"39", "137", "34", "141.5"}));
  EXPECT_FALSE(area().isVisible());
  ASSERT_TRUE(period().isVisible());

  // Untouched lists: the single day 1 January 2005.
  click(&period(), "Command1");
  EXPECT_TRUE(messages.shown.isEmpty()) << messages.shown.join(' ').toStdString();
  EXPECT_EQ(conditions.archiveFiles, std::vector<std::string>{core::archiveFilePath(archive.path().string(), 2005, 1, 1)});
  EXPECT_EQ(conditions.archiveFileCount, 1);
  for (const char* box : {"YearText_0", "YearText_1"}) EXPECT_EQ(readout(box), QStringLiteral("2005")) << box;
  for (const char* box : {"MonthText_0", "DayText_0", "MonthText_1", "DayText_1"}) EXPECT_EQ(readout(box), "1") << box;
  EXPECT_FALSE(period().isVisible());
  EXPECT_TRUE(core::missingConditions(conditions).empty());
}

TEST_F(ConditionsTest, DirectorySetStoresTheOpenDirectoryNotAHighlightedFolder) {
  fs::create_directories(archive / "sub" / "deeper");
  trigger("MenuMelt");
  DirectoryList& list = directory().directoryList();
  ASSERT_TRUE(list.openDirectory(path(archive.path())));
  const QList<QListWidgetItem*> sub = list.findItems(QStringLiteral("sub"), Qt::MatchEndsWith);
  ASSERT_EQ(sub.size(), 1);
  list.setCurrentItem(sub.front());  // a single click only highlights
  directory().set();
  EXPECT_EQ(conditions.archiveDir, archive.path().string());

  trigger("MenuMelt");
  emit list.itemDoubleClicked(list.findItems(QStringLiteral("sub"), Qt::MatchEndsWith).front());
  EXPECT_EQ(list.openPath(), path(archive / "sub"));
  directory().set();
  EXPECT_EQ(conditions.archiveDir, (archive / "sub").string());

  trigger("MenuMelt");
  ASSERT_TRUE(list.openDirectory(QStringLiteral("/")));
  directory().set();
  EXPECT_EQ(conditions.archiveDir, "/");
  EXPECT_EQ(core::archiveFilePath(conditions.archiveDir, 2005, 1, 1), "/2005/1/J2005101.RAP");
}

TEST_F(ConditionsTest, DirectoryCloseStoresNothingAndAnUnreadableFolderIsReported) {
  trigger("MenuMelt");
  click(&directory(), "Command2");
  EXPECT_FALSE(directory().isVisible());
  EXPECT_TRUE(conditions.archiveDir.empty());
  EXPECT_EQ(readout("DataPath"), QString());
  EXPECT_FALSE(window->findChild<AreaDialog*>() != nullptr && area().isVisible());

  const QString before = directory().directoryList().openPath();
  EXPECT_FALSE(directory().directoryList().openDirectory(path(archive / "gone")));
  EXPECT_EQ(messages.shown, QStringList{qtText(messages::kCannotOpenFolder) + path(archive / "gone")});
  EXPECT_EQ(directory().directoryList().openPath(), before);
}

TEST_F(ConditionsTest, RegionClickSetsTheEdgesAndSetStoresUserAndEditedAreas) {
  bringUp(area());
  EXPECT_EQ(areaBoxes(), (QStringList{"", "", "", ""}));
  clickRegion(0);
  EXPECT_EQ(areaBoxes(), (QStringList{"46", "139", "41", "147"}));
  EXPECT_EQ((std::vector<std::int32_t>{conditions.areaNorthLat, conditions.areaWestLon, conditions.areaSouthLat,
                                       conditions.areaEastLon}),
            (std::vector<std::int32_t>{46000000, 139000000, 41000000, 147000000}));
  EXPECT_TRUE(conditions.areaName.empty());
  EXPECT_EQ(readout("TextArea"), QString());

  // The user's own area keeps the previous region's values.
  clickRegion(2);
  clickRegion(8);
  EXPECT_EQ(areaBoxes(), (QStringList{"39", "137", "34", "141.5"}));
  click(&area(), "Command1");
  EXPECT_EQ(conditions.areaSouthLat, 34000000);
  EXPECT_EQ(readout("TextArea"), QStringLiteral("任意のエリア"));
  EXPECT_EQ(core::regionCodeForName(conditions.areaName), "My");

  bringUp(area());
  clickRegion(5);
  areaBox("Coad2_1")->setText(QStringLiteral("132.25"));
  areaBox("Coad1_0")->setText(QStringLiteral("35.123457"));
  click(&area(), "Command1");
  EXPECT_EQ(conditions.areaEastLon, 132250000);
  EXPECT_EQ(conditions.areaNorthLat, 35123457);
  EXPECT_EQ(readout("TextArea"), QStringLiteral("九州"));
  EXPECT_EQ(mainCorners(), (QStringList{"35.123456", "128", "30", "132.25"}));
}

TEST_F(ConditionsTest, BackLeavesClickedEdgesAndTheReadoutsAlone) {
  bringUp(area());
  clickRegion(7);
  areaBox("Coad1_0")->setText(QStringLiteral("not a number"));
  click(&area(), "Command2");
  EXPECT_FALSE(area().isVisible());
  EXPECT_TRUE(directory().isVisible());
  EXPECT_EQ(conditions.areaNorthLat, 47000000);
  EXPECT_EQ(readout("TextArea"), QString());
  EXPECT_TRUE(messages.shown.isEmpty());
  bringUp(period());
  click(&period(), "Command2");
  EXPECT_FALSE(period().isVisible());
  EXPECT_TRUE(area().isVisible());
}

TEST_F(ConditionsTest, BoxesThatAreNotNumbersAreRefusedByName) {
  bringUp(area());
  clickRegion(1);
  const std::vector<std::pair<const char*, messages::Text>> cases{
      {"Coad1_0", messages::kNorthLatNotNumber}, {"Coad1_1", messages::kWestLonNotNumber},
      {"Coad2_0", messages::kSouthLatNotNumber}, {"Coad2_1", messages::kEastLonNotNumber}};
  for (const QString& bad : {QString(), QStringLiteral("abc"), QStringLiteral("2147.483648"), QStringLiteral("1,5")}) {
    for (const auto& [box, message] : cases) {
      messages.shown.clear();
      const QString good = areaBox(box)->text();
      areaBox(box)->setText(bad);
      click(&area(), "Command1");
      EXPECT_EQ(messages.shown, QStringList{qtText(message)}) << box << " " << bad.toStdString();
      EXPECT_TRUE(area().isVisible());
      areaBox(box)->setText(good);
    }
  }
  EXPECT_EQ(conditions.areaNorthLat, 42000000);
  EXPECT_TRUE(conditions.areaName.empty());
  EXPECT_EQ(readout("TextArea"), QString());
  areaBox("Coad1_0")->setText(QStringLiteral("-2147.483648"));
  click(&area(), "Command1");
  EXPECT_EQ(conditions.areaNorthLat, -2147483647 - 1);
}

TEST_F(ConditionsTest, PeriodRefusalsShowTheirMessageAndKeepTheReadouts) {
  for (int day = 28; day <= 31; ++day) touchArchiveDay(archive.path(), 2001, 3, day);
  for (int day = 1; day <= 2; ++day) touchArchiveDay(archive.path(), 2001, 4, day);
  chooseArchive();
  click(&area(), "Command2");
  bringUp(period());
  struct Case {
    QStringList start, end;
    messages::Text message;
  };
  const std::vector<Case> cases{
      {{"2001", "3", "31"}, {"2001", "4", "1"}, messages::kMixedFormats},
      {{"2005", "3", "10"}, {"2005", "3", "9"}, messages::kEndBeforeStart},
      {{"2005", "2", "1"}, {"2005", "1", "31"}, messages::kEndBeforeStart},
      {{"2001", "3", "28"}, {"2001", "4", "3"}, messages::kMissingFile},
  };
  for (const Case& c : cases) {
    messages.shown.clear();
    typeRow(0, c.start[0], c.start[1], c.start[2]);
    typeRow(1, c.end[0], c.end[1], c.end[2]);
    click(&period(), "Command1");
    EXPECT_EQ(messages.shown, QStringList{qtText(c.message)}) << c.start.join('-').toStdString();
    EXPECT_TRUE(period().isVisible());
    EXPECT_EQ(conditions.archiveFileCount, 0);
    EXPECT_EQ(readout("YearText_0"), QString());
  }
  EXPECT_EQ(conditions.periodDay[0], 28);  // the last press's dates stay

  messages.shown.clear();
  typeRow(0, "2001", "3", "28");
  typeRow(1, "2001", "3", "31");
  control<QComboBox>(&period(), QStringLiteral("Combo4_0"))->setCurrentIndex(5);
  click(&period(), "Command1");
  EXPECT_TRUE(messages.shown.isEmpty());
  EXPECT_EQ(conditions.archiveFileCount, 4);
  EXPECT_EQ(conditions.periodHour[0], 0);
  EXPECT_EQ(readout("DayText_0"), QStringLiteral("28"));
  EXPECT_EQ(readout("DayText_1"), QStringLiteral("31"));
  EXPECT_EQ(readout("MonthText_1"), QStringLiteral("3"));
}

TEST_F(ConditionsTest, TypedTextsThatAreNotDatesAreRefusedWithoutStoring) {
  touchArchiveDay(archive.path(), 2005, 1, 1);
  chooseArchive();
  click(&area(), "Command2");
  bringUp(period());
  click(&period(), "Command1");
  ASSERT_EQ(conditions.archiveFileCount, 1);
  for (const QStringList& row : {QStringList{"20x5", "1", "1"}, QStringList{"2005", "13", "1"},
                                 QStringList{"2005", "0", "1"}, QStringList{"2005", "1", ""}}) {
    messages.shown.clear();
    typeRow(1, row[0], row[1], row[2]);
    bringUp(period());
    click(&period(), "Command1");
    ASSERT_EQ(messages.shown.size(), 1) << row.join('-').toStdString();
    EXPECT_TRUE(messages.shown.front().startsWith(qtText(messages::kPeriodEndRow))) << messages.shown.front().toStdString();
    EXPECT_TRUE(period().isVisible());
    EXPECT_EQ(conditions.archiveFileCount, 1);  // the earlier accepted period is untouched
  }
}

}  // namespace
}  // namespace ombrix::ui::test
