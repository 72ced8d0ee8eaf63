#pragma once
// TEST HOOK, not a feature. With OMBRIX_TEST_EXIT_AFTER_FIRST_PAINT in the environment, the
// program ends with status 0 as soon as its first paint is done, so that the start-up benchmark
// can time the start to the first painted window. Without the variable nothing is installed.
class QApplication;

namespace ombrix::gui {

void exitAfterFirstPaintWhenAsked(QApplication& application);

}  // namespace ombrix::gui
