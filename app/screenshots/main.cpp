// Saves a picture of every window of the desktop program, for checking the layouts by eye:
//   ombrix-screenshots <folder>
// Each window is shown as a user would meet it and grabbed into <folder>/<window>.png.
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTextStream>
#include <QWidget>
#include <cstdio>

#include "core/analysis_conditions.h"
#include "ui/app_look.h"
#include "ui/archive_directory_dialog.h"
#include "ui/area_dialog.h"
#include "ui/main_window.h"
#include "ui/message_sink.h"
#include "ui/overwrite_dialog.h"
#include "ui/period_dialog.h"
#include "ui/preprocess_dialog.h"
#include "ui/version_window.h"

namespace {

// Messages go to standard error instead of blocking message boxes.
class PrintingSink final : public ombrix::ui::MessageSink {
 public:
  using MessageSink::show;
  void show(const QString& text) override { std::fprintf(stderr, "message: %s\n", text.toUtf8().constData()); }
  std::optional<QString> askText(const QString&) override { return std::nullopt; }
};

bool save(QWidget& window, const QDir& folder, const QString& name) {
  ombrix::ui::bringUp(window);
  QApplication::processEvents();
  const QString path = folder.filePath(name + QStringLiteral(".png"));
  if (!window.grab().save(path)) {
    std::fprintf(stderr, "cannot write %s\n", path.toUtf8().constData());
    return false;
  }
  window.hide();
  return true;
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: ombrix-screenshots <folder>\n");
    return 2;
  }
  const QDir folder(QString::fromLocal8Bit(argv[1]));
  if (!QDir().mkpath(folder.path())) return 1;
  ombrix::ui::prepareApplication();
  ombrix::core::AnalysisConditions conditions;
  PrintingSink messages;
  ombrix::ui::MainWindow window(conditions, messages, [](const QUrl&) {});

  bool ok = save(window, folder, QStringLiteral("main-window"));
  ombrix::ui::AreaDialog& area = window.areaDialog();
  area.chooseRegion(2);
  area.set();
  window.drawingControls().frame->show();
  ok = save(window, folder, QStringLiteral("main-window-with-drawing-controls")) && ok;
  window.drawingControls().intensityLegend->hide();
  window.drawingControls().accumulationLegend->show();
  window.drawingControls().animation[1]->show();
  ok = save(window, folder, QStringLiteral("main-window-accumulation-legend")) && ok;
  ok = save(window.archiveDirectoryDialog(), folder, QStringLiteral("archive-directory-dialog")) && ok;
  ok = save(area, folder, QStringLiteral("area-dialog")) && ok;
  ok = save(window.periodDialog(), folder, QStringLiteral("period-dialog")) && ok;
  ok = save(window.overwriteDialog(), folder, QStringLiteral("overwrite-dialog")) && ok;
  ok = save(window.preprocessDialog(), folder, QStringLiteral("preprocess-dialog")) && ok;
  ok = save(window.versionWindow(), folder, QStringLiteral("version-window")) && ok;
  return ok ? 0 : 1;
}
