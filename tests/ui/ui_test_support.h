#pragma once
// Shared by the window tests: the application object, controls found by name within one window,
// and archive files where only their existence counts.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QString>
#include <QWidget>
#include <filesystem>
#include <memory>
#include <ostream>
#include <vector>

#include "core/analysis_conditions.h"
#include "core/rap_archive.h"
#include "tests/ui/recording_message_sink.h"
#include "ui/main_window.h"

// Readable test output for Qt strings (found by argument-dependent lookup).
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace ombrix::ui::test {

// The one QApplication of the test program, with the program's fonts and icon.
QApplication& application();

// The named descendants of window that belong to it, not to a window inside it.
QList<QObject*> controlsNamed(QObject* window, const QString& name);

// The single control of that name and type in window; fails the test when there is not one.
template <typename Control>
Control* control(QObject* window, const QString& name) {
  Control* found = nullptr;
  int count = 0;
  for (QObject* object : controlsNamed(window, name)) {
    if (auto* typed = qobject_cast<Control*>(object)) {
      found = typed;
      ++count;
    }
  }
  EXPECT_EQ(count, 1) << "control " << name.toStdString();
  return found;
}

// A main window on fresh conditions, whose messages are recorded and whose browser opens nothing.
struct MainWindowFixture : ::testing::Test {
  MainWindowFixture();
  ~MainWindowFixture() override;

  QAction* menuCommand(const char* name);
  void trigger(const char* name) { menuCommand(name)->trigger(); }
  QString readout(const char* name);  // text of a read-out box of the main window
  void click(QWidget* window, const char* button);
  // Through the dialogs: the archive in dir, the Kyushu region, 2005-07-firstDay to lastDay.
  void chooseKyushu(const std::filesystem::path& dir);
  void setJulyPeriod(int firstDay, int lastDay);
  // Types both rows of the period dialog (year, month and day texts) and sets them.
  void setPeriod(const QStringList& start, const QStringList& end);

  core::AnalysisConditions conditions;
  RecordingMessageSink messages;
  QList<QUrl> openedUrls;
  std::unique_ptr<MainWindow> window;
};

// A 40 x 30 grid from 128 E, 35 N: inside the Kyushu region.
inline const core::GridDescription kKyushuGrid{35000000, 128000000, 31250, 20833, 40, 30};

// An empty file where the day's archive file lies: enough where only its existence counts.
void touchArchiveDay(const std::filesystem::path& dir, int year, int month, int day);

}  // namespace ombrix::ui::test
