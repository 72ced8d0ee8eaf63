// Saves a picture of every window of the desktop program, for checking the layouts by eye:
//   ombrix-screenshots <folder> [FILE.RMD [POLYGONS]]
// Each window is shown as a user would meet it and grabbed into <folder>/<window>.png.
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QHelpEvent>
#include <QPainter>
#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QPixmap>
#include <QTextStream>
#include <QWidget>
#include <cstdio>
#include <tuple>

#include "core/analysis_conditions.h"
#include "ui/app_look.h"
#include "ui/archive_directory_dialog.h"
#include "ui/area_dialog.h"
#include "ui/file_open_dialog.h"
#include "ui/main_window.h"
#include "ui/map_surface.h"
#include "ui/map_viewer.h"
#include "ui/message_sink.h"
#include "ui/overwrite_dialog.h"
#include "ui/period_dialog.h"
#include "ui/point_table_window.h"
#include "ui/preprocess_dialog.h"
#include "ui/version_window.h"

namespace {

// Messages go to standard error instead of blocking message boxes; a question gets the answer
// set last.
class PrintingSink final : public ombrix::ui::MessageSink {
 public:
  using MessageSink::show;
  void show(const QString& text) override { std::fprintf(stderr, "message: %s\n", text.toUtf8().constData()); }
  std::optional<QString> askText(const QString&) override { return answer; }
  std::optional<QString> answer;
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

// The surface point whose tooltip shows the largest value, searched on a coarse lattice.
QPoint wettestPoint(const ombrix::ui::MapViewer& viewer) {
  QPoint best;
  double bestValue = -1;
  for (int y = 0; y < viewer.surface().height(); y += 6) {
    for (int x = 0; x < viewer.surface().width(); x += 6) {
      const QString tip = viewer.cellTip({x, y});
      const qsizetype unit = tip.lastIndexOf(QLatin1Char(' '));
      const double value = tip.left(unit).section(QLatin1Char(' '), -1).toDouble();
      if (value > bestValue) std::tie(best, bestValue) = std::tuple(QPoint(x, y), value);
    }
  }
  return best;
}

// The main window with the tooltip of its wettest map point painted where it appears.
bool saveTooltip(ombrix::ui::MainWindow& window, const QDir& folder) {
  ombrix::ui::bringUp(window);
  QApplication::setEffectEnabled(Qt::UI_FadeTooltip, false);
  QApplication::setEffectEnabled(Qt::UI_AnimateTooltip, false);
  ombrix::ui::MapSurface& surface = window.viewer().surface();
  const QPoint point = wettestPoint(window.viewer());
  QHelpEvent help(QEvent::ToolTip, point, surface.mapToGlobal(point));
  QCoreApplication::sendEvent(&surface, &help);
  QPixmap picture = window.grab();
  for (QWidget* tip : QApplication::allWidgets()) {
    if (!tip->inherits("QTipLabel") || !tip->isVisible()) continue;
    QPainter painter(&picture);
    painter.drawPixmap(tip->mapToGlobal(QPoint()) - window.mapToGlobal(QPoint()), tip->grab());
  }
  return picture.save(folder.filePath(QStringLiteral("main-window-tooltip.png")));
}

// Basin rainfall over polygons, which then outline the map, and the largest 3-hour depths.
bool saveAnalyses(ombrix::ui::MainWindow& window, PrintingSink& messages, const QDir& folder, const QString& polygons) {
  ombrix::ui::MapViewer& viewer = window.viewer();
  viewer.setPolygonFileChooser([polygons] { return polygons; });
  viewer.arealMean();
  messages.answer = QStringLiteral("3");
  viewer.durationMaximumMap();
  return save(window, folder, QStringLiteral("main-window-duration-max"));
}

// The viewer on a preprocessed file: the file dialog, a frame with the coastline, the map
// accumulated over the whole file, and the point table window.
bool saveViewer(ombrix::ui::MainWindow& window, const QDir& folder, const QFileInfo& rmd) {
  ombrix::ui::MapViewer& viewer = window.viewer();
  ombrix::ui::FileOpenDialog& dialog = viewer.fileOpenDialog();
  dialog.directoryList().openDirectory(rmd.absolutePath());
  for (QListWidgetItem* item : dialog.fileList().findItems(rmd.fileName(), Qt::MatchExactly)) item->setSelected(true);
  bool ok = save(dialog, folder, QStringLiteral("file-open-dialog"));
  viewer.openFile(rmd.absolutePath(), rmd.fileName());
  if (!window.conditions().fileOpen()) return false;
  const ombrix::ui::DrawingControls& controls = window.drawingControls();
  // The pictures above showed the stop button; the viewer starts idle.
  controls.animation[1]->hide();
  for (QWidget* button : {controls.drawStart, controls.next, controls.previous, controls.animation[0]}) button->show();
  const int frames = controls.startTime->count();
  controls.startTime->setCurrentIndex(frames / 2);
  viewer.drawStartFrame();
  ok = save(window, folder, QStringLiteral("main-window-frame")) && ok;
  controls.startTime->setCurrentIndex(0);
  controls.endTime->setCurrentIndex(frames - 1);
  viewer.accumulate();
  ok = save(window, folder, QStringLiteral("main-window-accumulated")) && ok;
  return save(viewer.pointTableWindow(), folder, QStringLiteral("point-table-window")) && ok;
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  if (argc < 2 || argc > 4) {
    std::fprintf(stderr, "usage: ombrix-screenshots <folder> [FILE.RMD [POLYGONS]]\n");
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
  if (argc >= 3) ok = saveViewer(window, folder, QFileInfo(QString::fromLocal8Bit(argv[2]))) && ok;
  if (argc == 4) ok = saveAnalyses(window, messages, folder, QString::fromLocal8Bit(argv[3])) && ok;
  if (argc >= 3) ok = saveTooltip(window, folder) && ok;
  return ok ? 0 : 1;
}
