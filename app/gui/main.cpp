// The desktop program: one record of analysis conditions, the main window, the event loop.
#include <QApplication>

#include "core/analysis_conditions.h"
#include "ui/app_look.h"
#include "ui/main_window.h"
#include "ui/message_sink.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  ombrix::ui::prepareApplication();
  ombrix::core::AnalysisConditions conditions;
  ombrix::ui::MessageBoxSink messages(nullptr);
  ombrix::ui::MainWindow window(conditions, messages);
  window.show();
  return QApplication::exec();
}
