// The desktop program: one record of analysis conditions, the main window, the event loop.
#include <QApplication>
#include <QString>
#include <exception>
#include <iostream>

#include "app/gui/first_paint_exit.h"
#include "core/analysis_conditions.h"
#include "core/output_file.h"
#include "core/problem.h"
#include "ui/app_look.h"
#include "ui/main_window.h"
#include "ui/message_sink.h"

namespace {

constexpr int kExitFailed = 1;

// Shows what nobody foresaw (memory exhausted, a library's exception) before the program ends.
void reportUnexpected(const char* what) {
  ombrix::ui::MessageBoxSink(nullptr).report({ombrix::core::Problem::UnexpectedError, {}, {.reason = what}});
}

// The last line of defence: an exception must not cross the event loop, so one thrown by an
// event handler is reported here and the program ends with status 1.
class GuardedApplication final : public QApplication {
 public:
  using QApplication::QApplication;
  bool notify(QObject* receiver, QEvent* event) override {
    try {
      return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
      fail(error.what());
    } catch (...) {
      fail("");
    }
    return false;
  }

 private:
  void fail(const char* what) {
    if (failed_) return;
    failed_ = true;
    reportUnexpected(what);
    QCoreApplication::exit(kExitFailed);
  }
  bool failed_ = false;
};

int run(int argc, char* argv[]) {
  GuardedApplication application(argc, argv);
  try {
    ombrix::ui::prepareApplication();
    ombrix::core::AnalysisConditions conditions;
    ombrix::ui::MessageBoxSink messages(nullptr);
    ombrix::ui::MainWindow window(conditions, messages);
    window.show();
    ombrix::gui::exitAfterFirstPaintWhenAsked(application);
    return QApplication::exec();
  } catch (const std::exception& error) {
    reportUnexpected(error.what());
  } catch (...) {
    reportUnexpected("");
  }
  return kExitFailed;
}

}  // namespace

int main(int argc, char* argv[]) {
  ombrix::core::ignoreFileSizeSignal();
  try {
    return run(argc, argv);
  } catch (...) {  // not even the application object could be made: no window to show it in
    std::cerr << ombrix::core::message({ombrix::core::Problem::UnexpectedError}) << "\n";
    return kExitFailed;
  }
}
