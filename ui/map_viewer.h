#pragma once
// The viewer behind the main window's drawing controls: opening a preprocessed file, drawing
// its frames one at a time or as an animation, the accumulated and maximum maps, and the CSV
// exports of the file and of the map shown.
#include <QObject>
#include <QPoint>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <vector>

#include "core/analysis_conditions.h"
#include "core/frame_input.h"
#include "core/operation_callbacks.h"
#include "gis/cell_weights.h"
#include "ui/message_sink.h"
#include "viewer/base_map.h"
#include "viewer/frame_accumulation.h"
#include "viewer/intensity_classes.h"
#include "viewer/rmd_opening.h"

namespace ombrix::ui {

class FileOpenDialog;
class MainWindow;
class MapSurface;
class PointTableWindow;
class ProgressTrack;
struct DrawingControls;

// The time of day in seconds since midnight, with fractions.
using TimeOfDay = std::function<double()>;
TimeOfDay systemTimeOfDay();

class MapViewer final : public QObject {
  Q_OBJECT

 public:
  // Seconds between two frames of the animation.
  static constexpr double kAnimationPace = 1.0;

  // Connects the drawing controls and the viewer's menu commands of window, drawing on surface.
  MapViewer(MainWindow& window, MapSurface& surface);

  void setClock(TimeOfDay clock) { clock_ = std::move(clock); }
  // 0 takes away the pace so that the animation steps on every pass (for measurements only).
  void setAnimationPace(double seconds) { pace_ = seconds; }
  ProgressTrack& progress() const noexcept { return *progress_; }
  MapSurface& surface() const noexcept { return surface_; }
  FileOpenDialog& fileOpenDialog();
  PointTableWindow& pointTableWindow();

  // Menu commands.
  void showFileOpenDialog();    // MenuOpneFile
  void exportShownMap();        // MenuExpNow
  void exportPeriod();          // MenuExpAll
  void exportNetcdf();           // MenuGisNetcdf: the whole open file beside it as FILE.nc
  void exportShownMapGeoTiff();  // MenuGisGeoTiff: named like the current-display CSV
  void showPointTableWindow();  // menuCSVTable
  void arealMean();             // MenuArealRain: areal means of a polygon file over the chosen times
  void durationMaximumMap();    // MenuDurationMax: each cell's largest H-hour depth over the chosen times

  // Where the areal-mean command gets its polygon file (a file dialog unless set).
  void setPolygonFileChooser(std::function<QString()> choose) { choosePolygonFile_ = std::move(choose); }
  // The tooltip of the map at a surface point: the cell's latitude, longitude and value.
  QString cellTip(QPoint point) const;

  // FileOpen's "選択": opens folder/name (an empty name: none chosen).
  void openFile(const QString& folder, const QString& name);

  // Drawing controls.
  void drawStartFrame();   // Command2 "開始時刻描画"
  void nextFrame();        // Command3 "次へ"
  void previousFrame();    // Command4 "前へ"
  void startAnimation();   // Command5_0: runs until stopped or the window ends
  void stopAnimation();    // Command5_1
  void startTimeEdited();  // the user typed into ComboKaishi
  void accumulate();       // ComdAccum "累積値"
  void maximum();          // Comdmax "最大値"

  bool animating() const noexcept { return animating_; }

 signals:
  void frameShown(int frame);

 private:
  using Scale = viewer::ClassScale;

  bool fileOpen() const noexcept { return conditions_.fileOpen(); }
  bool computing() const noexcept { return conditions_.viewerState == core::kViewerComputing; }
  void openFileChanged();  // the open file was opened, reopened or closed
  void showOpenedFile(const viewer::OpenedRmd& file);
  void showLegend(Scale scale);
  void setAnimationButtons(bool animating);
  bool stepForward();
  bool showFrame(int frame);
  void mapDrawn();
  void yieldWhileAnimating();
  void computeField(viewer::RangeFold fold);
  void foldAndShow(viewer::RangeFold fold, int s, int e, bool progressive);
  void drawMap(Scale scale, std::span<const std::int16_t> grid);
  std::string areaText() const;
  // Frames of the open file from the start to the end time, for a computation.
  using Computation = std::function<core::Status(core::FileFrames frames, const core::OperationCallbacks&)>;
  // Runs work on a dataset of the open file (its frames stay those of this file) over
  // the chosen times, with the computing state and the progress bar; false when the open file
  // changed or the window is ending meanwhile: work is then cancelled and its result dropped.
  bool runComputation(const Computation& work, core::Status& status);

  MainWindow& window_;
  core::AnalysisConditions& conditions_;
  MessageSink& messages_;
  const DrawingControls& controls_;
  MapSurface& surface_;
  ProgressTrack* progress_;
  FileOpenDialog* fileOpenDialog_ = nullptr;
  PointTableWindow* pointTableWindow_ = nullptr;

  std::filesystem::path baseMapPath_;
  viewer::BaseMapOverlay overlay_;
  std::vector<std::int16_t> frameGrid_;
  // Counts changes of the open file (opened, reopened, closed) and maps drawn, so that a command
  // that yields sees whether its file or its map was replaced meanwhile.
  unsigned viewChanges_ = 0;
  bool mapShown_ = false;  // a map of the open file is on the screen
  Scale shownScale_ = Scale::Intensity;
  std::vector<gis::Shape> polygons_;  // outlines drawn over the map
  std::function<QString()> choosePolygonFile_;

  TimeOfDay clock_;
  double pace_ = kAnimationPace;
  QTimer wakeUp_;  // ends the animation's wait for events
  bool animating_ = false;
  bool stopRequested_ = false;
};

}  // namespace ombrix::ui
