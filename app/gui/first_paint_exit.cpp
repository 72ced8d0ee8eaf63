#include "app/gui/first_paint_exit.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <cstdlib>

namespace ombrix::gui {

namespace {

// On the first paint event, ends the program once the event loop has finished that paint.
class FirstPaintExit final : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) QTimer::singleShot(0, [] { std::_Exit(0); });
    return QObject::eventFilter(watched, event);
  }
};

}  // namespace

void exitAfterFirstPaintWhenAsked(QApplication& application) {
  if (std::getenv("OMBRIX_TEST_EXIT_AFTER_FIRST_PAINT") == nullptr) return;
  application.installEventFilter(new FirstPaintExit(&application));
}

}  // namespace ombrix::gui
