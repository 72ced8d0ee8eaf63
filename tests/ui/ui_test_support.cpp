#include "tests/ui/ui_test_support.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <fstream>

#include "core/archive_calendar.h"
#include "ui/app_look.h"
#include "ui/archive_directory_dialog.h"
#include "ui/area_dialog.h"
#include "ui/control_factory.h"
#include "ui/period_dialog.h"

namespace ombrix::ui::test {

namespace fs = std::filesystem;

QApplication& application() {
  static int argc = 1;
  static char name[] = "ombrix_ui_tests";
  static char* argv[] = {name, nullptr};
  static QApplication* app = [] {
    auto* created = new QApplication(argc, argv);
    prepareApplication();
    return created;
  }();
  return *app;
}

QList<QObject*> controlsNamed(QObject* window, const QString& name) {
  QList<QObject*> found;
  for (QObject* child : window->children()) {
    auto* widget = qobject_cast<QWidget*>(child);
    if (widget != nullptr && widget->isWindow()) continue;
    if (child->objectName() == name) found.append(child);
    found.append(controlsNamed(child, name));
  }
  return found;
}

MainWindowFixture::MainWindowFixture() {
  application();
  window = std::make_unique<MainWindow>(conditions, messages, [this](const QUrl& url) { openedUrls.append(url); });
  window->show();
}

MainWindowFixture::~MainWindowFixture() = default;

QAction* MainWindowFixture::menuCommand(const char* name) {
  auto* action = window->findChild<QAction*>(QString::fromUtf8(name));
  EXPECT_NE(action, nullptr) << name;
  return action;
}

QString MainWindowFixture::readout(const char* name) {
  auto* box = control<QLineEdit>(window.get(), QString::fromUtf8(name));
  if (box == nullptr) return QStringLiteral("<missing>");
  EXPECT_EQ(box->cursorPosition(), 0) << name << ": a long value must show its beginning";
  return box->text();
}

void MainWindowFixture::click(QWidget* target, const char* button) {
  auto* found = control<QAbstractButton>(target, QString::fromUtf8(button));
  ASSERT_NE(found, nullptr);
  found->click();
}

void MainWindowFixture::chooseKyushu(const fs::path& dir) {
  ASSERT_TRUE(window->archiveDirectoryDialog().directoryList().openDirectory(QString::fromStdString(dir.string())));
  window->archiveDirectoryDialog().set();
  window->areaDialog().chooseRegion(5);
  window->areaDialog().set();
}

void MainWindowFixture::setJulyPeriod(int firstDay, int lastDay) {
  setPeriod({"2005", "7", QString::number(firstDay)}, {"2005", "7", QString::number(lastDay)});
}

void MainWindowFixture::setPeriod(const QStringList& start, const QStringList& end) {
  PeriodDialog& period = window->periodDialog();
  for (int row = 0; row < 2; ++row) {
    for (int list = 0; list < 3; ++list) {
      const QString name = elementName(("Combo" + std::to_string(list + 1)).c_str(), row);
      control<QComboBox>(&period, name)->setEditText((row == 0 ? start : end)[list]);
    }
  }
  period.set();
}

void touchArchiveDay(const fs::path& dir, int year, int month, int day) {
  const fs::path path = core::archiveFilePath(dir.string(), year, month, day);
  fs::create_directories(path.parent_path());
  std::ofstream(path).put('\0');
}

}  // namespace ombrix::ui::test
