#include "ui/map_viewer.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QTime>
#include <cmath>

#include "core/messages.h"
#include "core/number_text.h"
#include "export/current_display_export.h"
#include "export/period_export.h"
#include "gis/areal_csv.h"
#include "gis/areal_operation.h"
#include "gis/cell_probe.h"
#include "gis/duration_map.h"
#include "gis/duration_window.h"
#include "gis/netcdf_export.h"
#include "gis/polygon_overlay.h"
#include "gis/shown_map_geotiff.h"
#include "ui/app_look.h"
#include "ui/file_open_dialog.h"
#include "ui/legend_frame.h"
#include "ui/main_window.h"
#include "ui/map_surface.h"
#include "ui/point_table_window.h"
#include "ui/progress_track.h"
#include "ui/qt_text.h"
#include "viewer/frame_accumulation.h"
#include "viewer/frame_loading.h"
#include "viewer/map_caption.h"
#include "viewer/map_renderer.h"

namespace ombrix::ui {

namespace {

// Longest wait for events in one pass of the animation loop: the loop sleeps instead of
// spinning, and still checks the clock often enough for a steady pace.
constexpr int kAnimationWaitMs = 5;

void yieldToEvents() { QCoreApplication::processEvents(); }

// The entry the list's text names, as a list reports its position: the selected entry while
// its text stands unchanged, else the entry whose text was typed, else -1.
int listPosition(const QComboBox& list) {
  const int current = list.currentIndex();
  if (current >= 0 && list.itemText(current) == list.currentText()) return current;
  return list.findText(list.currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive);
}

// The open file's corners are shown as the file holds them (single precision), not as typed
// coordinates are: the texts come with the opening.
void showReadout(const ConditionReadouts& readouts, const char* name, const std::string& text) {
  if (auto* box = readouts.frame()->findChild<QLineEdit*>(QString::fromUtf8(name))) box->setText(qtText(text));
}

void connectMenu(MainWindow& window, const char* name, MapViewer* viewer, void (MapViewer::*command)()) {
  if (auto* action = window.findChild<QAction*>(QString::fromUtf8(name))) {
    QObject::connect(action, &QAction::triggered, viewer, command);
  }
}

}  // namespace

TimeOfDay systemTimeOfDay() {
  return [] { return QTime::currentTime().msecsSinceStartOfDay() / 1000.0; };
}

MapViewer::MapViewer(MainWindow& window, MapSurface& surface)
    : QObject(&window),
      window_(window),
      conditions_(window.conditions()),
      messages_(window.messages()),
      controls_(window.drawingControls()),
      surface_(surface),
      progress_(new ProgressTrack(controls_.progressTrack, controls_.progressBar, this)),
      baseMapPath_(viewer::baseMapBesideExecutable()),
      clock_(systemTimeOfDay()) {
  wakeUp_.setSingleShot(true);
  connect(controls_.drawStart, &QPushButton::clicked, this, &MapViewer::drawStartFrame);
  connect(controls_.next, &QPushButton::clicked, this, &MapViewer::nextFrame);
  connect(controls_.previous, &QPushButton::clicked, this, &MapViewer::previousFrame);
  connect(controls_.animation[0], &QPushButton::clicked, this, &MapViewer::startAnimation);
  connect(controls_.animation[1], &QPushButton::clicked, this, &MapViewer::stopAnimation);
  connect(controls_.accumulate, &QPushButton::clicked, this, &MapViewer::accumulate);
  connect(controls_.maximum, &QPushButton::clicked, this, &MapViewer::maximum);
  // textEdited comes from typing only, not from choosing an entry or from the commands.
  connect(controls_.startTime->lineEdit(), &QLineEdit::textEdited, this, &MapViewer::startTimeEdited);
  connectMenu(window, "MenuOpneFile", this, &MapViewer::showFileOpenDialog);
  connectMenu(window, "MenuExpNow", this, &MapViewer::exportShownMap);
  connectMenu(window, "MenuExpAll", this, &MapViewer::exportPeriod);
  connectMenu(window, "MenuGisNetcdf", this, &MapViewer::exportNetcdf);
  connectMenu(window, "MenuGisGeoTiff", this, &MapViewer::exportShownMapGeoTiff);
  connectMenu(window, "menuCSVTable", this, &MapViewer::showPointTableWindow);
  connectMenu(window, "MenuArealRain", this, &MapViewer::arealMean);
  connectMenu(window, "MenuDurationMax", this, &MapViewer::durationMaximumMap);
  choosePolygonFile_ = [this] {
    return QFileDialog::getOpenFileName(&window_, qtText(messages::kChoosePolygonFile),
                                        qtText(conditions_.openRmdDir), qtText(messages::kPolygonFileFilter));
  };
  surface_.setTipText([this](QPoint point) { return cellTip(point); });
}

FileOpenDialog& MapViewer::fileOpenDialog() {
  if (fileOpenDialog_ == nullptr) {
    fileOpenDialog_ = new FileOpenDialog(messages_, &window_);
    connect(fileOpenDialog_, &FileOpenDialog::openRequested, this, &MapViewer::openFile);
  }
  return *fileOpenDialog_;
}

PointTableWindow& MapViewer::pointTableWindow() {
  if (pointTableWindow_ == nullptr) pointTableWindow_ = new PointTableWindow(conditions_, messages_, &window_);
  return *pointTableWindow_;
}

void MapViewer::showFileOpenDialog() { bringUp(fileOpenDialog()); }

void MapViewer::showPointTableWindow() { bringUp(pointTableWindow()); }

// ---- Opening ----

void MapViewer::openFile(const QString& folder, const QString& name) {
  if (name.isEmpty()) {
    conditions_.fileMissing(folder.toStdString());
    openFileChanged();
    messages_.report({core::Problem::RmdFileMissing});
    return;
  }
  const std::filesystem::path path = QDir(folder).filePath(name).toStdString();
  const viewer::RmdOpening opening = viewer::openRmdFile(path, static_cast<float>(surface_.width()),
                                                         static_cast<float>(surface_.height()));
  if (opening.status.problem == core::Problem::RmdFileMissing) conditions_.fileMissing(opening.file.dir);
  if (opening.status) conditions_.takeOpenedFile(opening.file.dataset(), opening.file.geometry, opening.file.areaName);
  if (opening.status || opening.status.problem == core::Problem::RmdFileMissing) openFileChanged();
  if (!opening.status) {
    messages_.report(opening.status);
    return;
  }
  mapShown_ = false;
  showOpenedFile(opening.file);
}

void MapViewer::openFileChanged() {
  ++viewChanges_;
  polygons_.clear();  // the outlines of areal means belong to the file they were computed on
}

void MapViewer::showOpenedFile(const viewer::OpenedRmd& file) {
  ConditionReadouts& readouts = window_.readouts();
  if (file.areaName) readouts.showAreaName(qtText(*file.areaName));
  readouts.showPath(qtText(file.path));
  showReadout(readouts, "Coad1_0", file.northLatText);
  showReadout(readouts, "Coad1_1", file.westLonText);
  showReadout(readouts, "Coad2_0", file.southLatText);
  showReadout(readouts, "Coad2_1", file.eastLonText);
  const core::TimeStamp& first = file.index.front().stamp;
  const core::TimeStamp& last = file.index.back().stamp;
  readouts.showDates({first.year, last.year}, {first.month, last.month}, {first.day, last.day});
  QStringList texts;
  for (const std::string& text : file.timeTexts) texts.append(qtText(text));
  for (QComboBox* list : {controls_.startTime, controls_.endTime}) {
    list->clear();
    list->addItems(texts);
    list->setCurrentIndex(0);
  }
  window_.timeText()->setText(texts.front());
  controls_.frame->show();
  window_.timeText()->show();
}

// ---- Stepping and animation ----

void MapViewer::showLegend(Scale scale) {
  const bool depth = scale != Scale::Intensity;
  if (depth) labelDepthLegend(*controls_.accumulationLegend, scale);
  controls_.intensityLegend->setVisible(!depth);
  controls_.accumulationLegend->setVisible(depth);
}

void MapViewer::setAnimationButtons(bool animating) {
  for (QPushButton* button : {controls_.drawStart, controls_.next, controls_.previous, controls_.animation[0]}) {
    button->setVisible(!animating);
  }
  controls_.animation[1]->setVisible(animating);
}

bool MapViewer::showFrame(int frame) {
  if (core::Status status =
          viewer::showFrame(conditions_.file, frame, frameGrid_, conditions_.rainGrid, conditions_.frameLabel);
      !status) {
    messages_.report(status);
    return false;
  }
  drawMap(Scale::Intensity, conditions_.rainGrid);
  mapDrawn();
  window_.timeText()->setText(controls_.startTime->itemText(frame));
  emit frameShown(frame);
  return true;
}

void MapViewer::mapDrawn() {
  mapShown_ = true;
  ++viewChanges_;
}

void MapViewer::drawStartFrame() {
  if (computing() || !fileOpen()) return;
  showLegend(Scale::Intensity);
  showFrame(listPosition(*controls_.startTime));
}

void MapViewer::nextFrame() { stepForward(); }

// The step of "次へ"; false when the frame could not be shown.
bool MapViewer::stepForward() {
  if (computing() || !fileOpen()) return true;
  showLegend(Scale::Intensity);
  const int p = listPosition(*controls_.startTime);
  const int i = p + 1 >= conditions_.file.frameCount() ? 0 : p + 1;
  controls_.startTime->setCurrentIndex(i);
  return showFrame(i);
}

void MapViewer::previousFrame() {
  if (computing() || !fileOpen()) return;
  showLegend(Scale::Intensity);
  const int p = listPosition(*controls_.startTime);
  const int i = p == 0 ? conditions_.file.frameCount() - 1 : p - 1;
  if (i >= 0) controls_.startTime->setCurrentIndex(i);
  showFrame(i);
}

void MapViewer::startTimeEdited() {
  yieldToEvents();
  controls_.endTime->setCurrentIndex(listPosition(*controls_.startTime));
}

void MapViewer::startAnimation() {
  if (computing() || !fileOpen() || animating_) return;
  showLegend(Scale::Intensity);
  conditions_.viewerState = core::kViewerAnimating;
  setAnimationButtons(true);
  animating_ = true;
  stopRequested_ = false;
  // One frame per pace: the time is taken again at every step. Its difference is taken as an
  // absolute value, so that passing midnight also counts as time gone by.
  double lastStep = clock_();
  while (!stopRequested_ && !window_.isEnding()) {
    yieldWhileAnimating();
    if (stopRequested_ || window_.isEnding()) break;
    const double now = clock_();
    if (pace_ > 0 && std::abs(now - lastStep) <= pace_) continue;
    lastStep = now;
    if (!stepForward()) stopAnimation();
  }
  animating_ = false;
}

void MapViewer::yieldWhileAnimating() {
  if (pace_ <= 0) {
    yieldToEvents();
    return;
  }
  wakeUp_.start(kAnimationWaitMs);
  QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void MapViewer::stopAnimation() {
  stopRequested_ = true;
  setAnimationButtons(false);
  // A computation running inside the animation keeps its state and its legend; it returns
  // to idle itself when it ends.
  if (computing()) return;
  showLegend(Scale::Intensity);
  conditions_.viewerState = core::kViewerIdle;
}

// ---- Accumulated and maximum maps ----

void MapViewer::accumulate() { computeField(viewer::RangeFold::Sum); }

void MapViewer::maximum() { computeField(viewer::RangeFold::Maximum); }

void MapViewer::computeField(viewer::RangeFold fold) {
  if (computing() || !fileOpen()) return;
  conditions_.viewerState = core::kViewerComputing;
  const bool sum = fold == viewer::RangeFold::Sum;
  showLegend(sum ? Scale::Accumulation : Scale::Intensity);
  const bool progressive = sum && controls_.animateProgress->checkState() != Qt::Unchecked;
  foldAndShow(fold, listPosition(*controls_.startTime), listPosition(*controls_.endTime), progressive);
  conditions_.viewerState = core::kViewerIdle;
}

void MapViewer::foldAndShow(viewer::RangeFold fold, int s, int e, bool progressive) {
  // A dataset of its own: a file opened while the fold yields must not change the frames it reads.
  core::RmdDataset file = conditions_.openFileDataset();
  if (core::Status status = viewer::checkFrameRange(file, s, e); !status) {
    messages_.report(status);
    return;
  }
  const bool sum = fold == viewer::RangeFold::Sum;
  // A file opened or closed during a yield has another grid or none: the field of the old one
  // is dropped. Nothing else draws a map while viewerState blocks the stepping commands.
  const unsigned changes = viewChanges_;
  const auto fileChanged = [&] { return changes != viewChanges_ || window_.isEnding(); };
  viewer::FoldCallbacks callbacks;
  callbacks.steps.yield = yieldToEvents;
  callbacks.steps.progress = [&](std::int64_t position, std::int64_t) {
    progress_->showSteps(static_cast<int>(position), e - s);
  };
  if (progressive) {
    callbacks.frameFolded = [&](int k, std::span<const std::int16_t> partial) {
      yieldToEvents();
      if (fileChanged()) return;
      window_.timeText()->setText(controls_.startTime->itemText(k));
      drawMap(Scale::Accumulation, partial);
    };
  }
  std::vector<std::int16_t> cells;
  std::string label;
  const core::Status status = viewer::foldLabelled(fold, file, s, e, cells, label, callbacks);
  if (fileChanged()) return;
  if (!status) {
    messages_.report(status);
    return;
  }
  yieldToEvents();
  if (fileChanged()) return;
  conditions_.rainGrid = std::move(cells);
  progress_->showFull();
  drawMap(sum ? Scale::Accumulation : Scale::Intensity, conditions_.rainGrid);
  mapDrawn();
  window_.timeText()->setText(qtText(sum ? messages::kAccumulatedCaption : messages::kMaximumCaption));
  conditions_.frameLabel = std::move(label);
  if (sum) messages_.show(messages::kComputationDone);
}

void MapViewer::drawMap(Scale scale, std::span<const std::int16_t> grid) {
  shownScale_ = scale;
  const viewer::MapLayer layer = viewer::mapLayerOf(grid, conditions_.file, conditions_.geometry);
  const viewer::SurfaceView view = surface_.surface();
  viewer::drawMapIn(layer, view, scale);
  overlay_.draw(baseMapPath_, layer.geometry, view);
  gis::drawPolygonOutlines(polygons_, layer.geometry, view);
  surface_.update();
}

// ---- CSV exports ----

std::string MapViewer::areaText() const { return window_.readouts().areaName()->text().toStdString(); }

void MapViewer::exportShownMap() {
  // Until a map of the open file is drawn, the grid holds no values worth writing.
  if (!fileOpen() || !mapShown_ || conditions_.frameLabel.empty()) return;
  messages_.report(exports::exportCurrentDisplay(conditions_.shownMap(), areaText()).status);
}

void MapViewer::exportPeriod() {
  if (!fileOpen()) return;
  core::OperationCallbacks callbacks;
  callbacks.yield = yieldToEvents;
  callbacks.progress = [this](std::int64_t width, std::int64_t) { progress_->setBarWidth(static_cast<int>(width)); };
  // The export reads its own copy of the file's index. A map drawn or a file opened while it
  // yields keeps its own label: the period label would misname a later export of that map.
  const unsigned changes = viewChanges_;
  const exports::PeriodExportResult result =
      exports::exportPeriod(conditions_.openFileDataset(), areaText(), progress_->trackWidth(), callbacks);
  // The label of the set names the map shown for its exports, as after a fold.
  if (changes == viewChanges_ && result.status.problem != core::Problem::NoFramesOpen) {
    conditions_.frameLabel = result.periodLabel;
    if (result.halfHourly) conditions_.halfHourly = *result.halfHourly;
  }
  if (!window_.isEnding()) messages_.report(result.status, core::Notice::CsvSetWritten);
}

// ---- Analysis: areal means and duration maxima ----

bool MapViewer::runComputation(const Computation& work, core::Status& status) {
  core::FileFrames frames{conditions_.openFileDataset(), listPosition(*controls_.startTime),
                          listPosition(*controls_.endTime)};
  conditions_.viewerState = core::kViewerComputing;
  const unsigned changes = viewChanges_;
  const auto dropped = [&] { return changes != viewChanges_ || window_.isEnding(); };
  core::OperationCallbacks callbacks;
  callbacks.yield = yieldToEvents;
  callbacks.progress = [&](std::int64_t done, std::int64_t count) {
    progress_->showFraction(static_cast<double>(done) / static_cast<double>(count));
  };
  callbacks.cancelled = dropped;
  status = work(std::move(frames), callbacks);
  conditions_.viewerState = core::kViewerIdle;
  return !dropped();
}

void MapViewer::arealMean() {
  if (computing() || !fileOpen()) return;
  const QString chosen = choosePolygonFile_();
  if (chosen.isEmpty() || computing() || !fileOpen()) return;
  gis::ArealRequest request;
  request.polygons = chosen.toStdString();
  request.out = gis::arealCsvPath(conditions_.file.path());
  gis::ArealResult result;
  const bool current = runComputation(
      [&](core::FileFrames frames, const core::OperationCallbacks& callbacks) {
        request.source = std::move(frames);
        result = gis::computeArealRainfall(std::move(request), callbacks);
        return result.status;
      },
      result.status);
  if (!current) return;
  if (!result.status) {
    messages_.report(result.status);
    return;
  }
  polygons_ = std::move(result.shapes);
  if (mapShown_) drawMap(shownScale_, conditions_.rainGrid);
  messages_.show(core::message(core::Notice::ArealCsvWritten, result.files.front()));
}

void MapViewer::durationMaximumMap() {
  if (computing() || !fileOpen()) return;
  const std::optional<QString> answer = messages_.askText(qtText(messages::kAskDurationHours));
  if (!answer || computing() || !fileOpen()) return;
  const std::optional<std::int32_t> hours = core::parseWholeNumber(answer->trimmed().toStdString());
  if (!hours || !gis::durationHoursValid(*hours)) {
    messages_.report({core::Problem::DurationHoursInvalid});
    return;
  }
  gis::DurationMap map;
  core::Status status;
  const bool current = runComputation(
      [&](core::FileFrames frames, const core::OperationCallbacks& callbacks) {
        return gis::durationMaximumMap(frames.file, frames.first, frames.last, *hours, map, callbacks);
      },
      status);
  if (!current) return;
  if (!status) {
    messages_.report(status);
    return;
  }
  progress_->showFull();
  conditions_.showMap(std::move(map.grid), std::move(map.label));
  const Scale scale = viewer::durationClassScale(*hours);
  showLegend(scale);
  drawMap(scale, conditions_.rainGrid);
  mapDrawn();
  window_.timeText()->setText(qtText(std::string(messages::kDurationCaptionPrefix) + std::to_string(*hours) +
                                     std::string(messages::kDurationCaptionSuffix)));
  messages_.show(messages::kComputationDone);
}

QString MapViewer::cellTip(QPoint point) const {
  if (!fileOpen() || !mapShown_) return {};
  const auto probe = gis::probeCell(conditions_.shownMap(), conditions_.geometry, point.x() + 0.5, point.y() + 0.5);
  if (!probe) return {};
  const auto degrees = [](float value) { return QString::number(static_cast<double>(value), 'f', 4); };
  QString text = qtText(messages::kTipLatitude) + degrees(probe->latitude) + QStringLiteral("  ") +
                 qtText(messages::kTipLongitude) + degrees(probe->longitude) + QStringLiteral("  ") +
                 qtText(messages::kTipValue);
  if (probe->value < 0) return text + qtText(messages::kTipNoData);
  const bool depth = shownScale_ != Scale::Intensity;
  return text + QString::number(probe->value * 0.1, 'f', 1) + QStringLiteral(" ") +
         qtText(depth ? messages::kUnitDepth : messages::kUnitRate);
}

// ---- GIS exports ----

void MapViewer::exportNetcdf() {
  if (!fileOpen()) return;
  // A dataset of its own: a file opened while the export yields must not change the frames it reads.
  core::RmdDataset file = conditions_.openFileDataset();
  const std::filesystem::path target = gis::netcdfPathBeside(file.path());
  gis::NetcdfRequest request;
  request.target = target;
  request.options.history = "ombrix: " + file.path().string();
  request.targetExists = core::Problem::ExportTargetExists;
  const int last = file.frameCount() - 1;
  request.source = core::FileFrames{std::move(file), 0, last};
  core::OperationCallbacks callbacks;
  callbacks.yield = yieldToEvents;
  callbacks.progress = [this](std::int64_t done, std::int64_t count) {
    progress_->showFraction(static_cast<double>(done) / static_cast<double>(count));
  };
  const core::Status status = gis::exportNetcdf(std::move(request), callbacks);
  if (window_.isEnding()) return;
  messages_.report(status, core::Notice::NetcdfWritten, target);
}

void MapViewer::exportShownMapGeoTiff() {
  if (!fileOpen() || !mapShown_ || conditions_.frameLabel.empty()) return;
  const core::ShownMap map = conditions_.shownMap();
  messages_.report(gis::exportShownMapGeoTiff(map, conditions_.file, gis::shownMapGeoTiffPath(map, areaText())).status);
}

}  // namespace ombrix::ui
