#include "ui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFile>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPalette>

#include "core/preprocess_run.h"
#include "ui/app_look.h"
#include "ui/archive_directory_dialog.h"
#include "ui/area_dialog.h"
#include "ui/control_factory.h"
#include "ui/legend_frame.h"
#include "ui/map_surface.h"
#include "ui/map_viewer.h"
#include "ui/overwrite_dialog.h"
#include "ui/period_dialog.h"
#include "ui/preprocess_dialog.h"
#include "ui/version_window.h"

namespace ombrix::ui {

namespace {

QWidget* makeClient(QMainWindow* window) {
  auto* client = new QWidget(window);
  client->setObjectName(QStringLiteral("Form1Client"));
  client->setFixedSize(MainWindow::kClientWidth, MainWindow::kClientHeight);
  window->setCentralWidget(client);
  return client;
}

MapSurface* addMapArea(QWidget* client) {
  auto* area = new MapSurface(client);
  area->setObjectName(QStringLiteral("PictArea"));
  area->setGeometry(312, 16, 689, 593);
  area->setAutoFillBackground(true);
  QPalette palette = area->palette();
  palette.setColor(QPalette::Window, Qt::white);
  area->setPalette(palette);
  return area;
}

QLineEdit* addTimeText(QWidget* client) {
  QLineEdit* text = addReadout(client, QStringLiteral("Text2"), {808, 584, 193, 25});
  text->setFont(explicitFont(kArialBlackFamily, 12.0, true));
  text->setAlignment(Qt::AlignCenter);
  QPalette palette = text->palette();
  palette.setColor(QPalette::Base, Qt::white);  // the system caption-text colour
  palette.setColor(QPalette::Text, kCaptionBlue);
  text->setPalette(palette);
  return text;
}

}  // namespace

UrlOpener browserUrlOpener() {
  return [](const QUrl& url) { QDesktopServices::openUrl(url); };
}

MainWindow::MainWindow(core::AnalysisConditions& conditions, MessageSink& messages, UrlOpener urlOpener)
    : conditions_(conditions),
      messages_(messages),
      urlOpener_(std::move(urlOpener)),
      client_(makeClient(this)),
      readouts_(client_) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("Ombrix ver.2.0 2009年度版"));
  setWindowIcon(appIcon());
  setFont(controlFont());
  buildDrawingControls(client_);
  MapSurface* surface = addMapArea(client_);
  pictArea_ = surface;
  timeText_ = addTimeText(client_);
  buildMenus();
  viewer_ = new MapViewer(*this, *surface);
  layout()->setSizeConstraint(QLayout::SetFixedSize);
}

MainWindow::~MainWindow() = default;

void MainWindow::buildDrawingControls(QWidget* client) {
  DrawingControls& d = drawing_;
  d.frame = addFrame(client, QStringLiteral("Frame1"), QStringLiteral("描画コントロール"), {16, 272, 289, 337},
                     captionFont(), kCaptionBlue);
  QWidget* f = d.frame;
  addLabel(f, QStringLiteral("Label14"), QStringLiteral("開始時刻"), {16, 24, 57, 17});
  d.startTime = addEditableList(f, QStringLiteral("ComboKaishi"), {80, 24, 201, 20});
  d.previous = addButton(f, QStringLiteral("Command4"), QStringLiteral("前へ"), {64, 48, 57, 25});
  d.drawStart = addButton(f, QStringLiteral("Command2"), QStringLiteral("開始時刻描画"), {120, 48, 105, 25});
  d.next = addButton(f, QStringLiteral("Command3"), QStringLiteral("次へ"), {224, 48, 57, 25});
  d.animation[0] = addButton(f, elementName("Command5", 0), QStringLiteral("アニメーション・スタート"), {64, 72, 217, 25});
  // Created last of the buttons so that, when shown, it lies over the four it replaces.
  d.animation[1] = addButton(f, elementName("Command5", 1), QStringLiteral("アニメーション・ストップ"), {64, 48, 217, 49});
  d.animation[1]->hide();
  addLabel(f, QStringLiteral("Label13"), QStringLiteral("終了時刻"), {16, 104, 57, 17});
  d.endTime = addEditableList(f, QStringLiteral("ComboOwari"), {80, 104, 201, 20});
  d.maximum = addButton(f, QStringLiteral("Comdmax"), QStringLiteral("最大値"), {8, 136, 57, 25});
  d.accumulate = addButton(f, QStringLiteral("ComdAccum"), QStringLiteral("累積値"), {72, 136, 65, 25});
  d.animateProgress = addCheckBox(f, QStringLiteral("Check1"), QStringLiteral("アニメーション表示"), {144, 136, 137, 25});
  d.progressTrack = addPictureBox(f, QStringLiteral("Picture_Reading"), {8, 168, 273, 25});
  d.progressBar = addFilledBox(d.progressTrack, QStringLiteral("Reading_Bar"), {0, 0, 1, 25}, kCaptionBlue, kCaptionBlue);
  d.intensityLegend = addLegendFrame(f, viewer::ClassScale::Intensity);
  d.accumulationLegend = addLegendFrame(f, viewer::ClassScale::Accumulation);
  d.accumulationLegend->hide();
  d.frame->hide();
}

QAction* MainWindow::addCommand(QMenu* menu, const char* name, const QString& caption) {
  QAction* action = menu->addAction(caption);
  action->setObjectName(QString::fromUtf8(name));
  return action;
}

void MainWindow::addSeparator(QMenu* menu, const char* name) { menu->addSeparator()->setObjectName(QString::fromUtf8(name)); }

void MainWindow::buildMenus() {
  QMenuBar* bar = menuBar();
  bar->setFont(controlFont());
  QMenu* file = bar->addMenu(QStringLiteral("ファイル"));
  file->setObjectName(QStringLiteral("Fail"));
  connect(addCommand(file, "MenuMelt", QStringLiteral("アメダスデータ解凍設定")), &QAction::triggered, this,
          &MainWindow::showConditionsSequence);
  connect(addCommand(file, "MenuMaeshori", QStringLiteral("アメダスデータ解凍・保存")), &QAction::triggered, this,
          &MainWindow::startPreprocessing);
  addCommand(file, "MenuOpneFile", QStringLiteral("解凍済みデータを開く"));
  addSeparator(file, "menubar2");
  QMenu* exports = file->addMenu(QStringLiteral("CSVエクスポート"));
  exports->setObjectName(QStringLiteral("MenuExp"));
  exports->menuAction()->setObjectName(QStringLiteral("MenuExp"));
  addCommand(exports, "MenuExpNow", QStringLiteral("現在表示の値"));
  addCommand(exports, "MenuExpAll", QStringLiteral("指定期間の全て"));
  QMenu* gis = file->addMenu(QStringLiteral("GISエクスポート"));
  gis->setObjectName(QStringLiteral("MenuGis"));
  gis->menuAction()->setObjectName(QStringLiteral("MenuGis"));
  addCommand(gis, "MenuGisNetcdf", QStringLiteral("NetCDF（全期間）"));
  addCommand(gis, "MenuGisGeoTiff", QStringLiteral("GeoTIFF（表示中の地図）"));
  addSeparator(file, "Menubar3");
  addCommand(file, "menuCSVTable", QStringLiteral("地点IDの雨量テーブルの出力"));
  addSeparator(file, "Menubar4");
  connect(addCommand(file, "MenuEnd", QStringLiteral("終了")), &QAction::triggered, this, &MainWindow::endProgram);
  QMenu* analysis = bar->addMenu(QStringLiteral("解析"));
  analysis->setObjectName(QStringLiteral("MenuKaiseki"));
  addCommand(analysis, "MenuArealRain", QStringLiteral("流域平均雨量…"));
  addCommand(analysis, "MenuDurationMax", QStringLiteral("最大時間雨量マップ…"));
  QMenu* help = bar->addMenu(QStringLiteral("ヘルプ"));
  help->setObjectName(QStringLiteral("HelpMenu"));
  connect(addCommand(help, "MenuVer", QStringLiteral("バージョン情報")), &QAction::triggered, this,
          &MainWindow::showVersionWindow);
}

ArchiveDirectoryDialog& MainWindow::archiveDirectoryDialog() {
  if (archiveDirectoryDialog_ == nullptr) {
    archiveDirectoryDialog_ = new ArchiveDirectoryDialog(conditions_, readouts_, messages_, this);
    connect(archiveDirectoryDialog_, &ArchiveDirectoryDialog::directorySet, this, [this] { bringUp(areaDialog()); });
  }
  return *archiveDirectoryDialog_;
}

AreaDialog& MainWindow::areaDialog() {
  if (areaDialog_ == nullptr) {
    areaDialog_ = new AreaDialog(conditions_, readouts_, messages_, this);
    connect(areaDialog_, &AreaDialog::areaSet, this, [this] { bringUp(periodDialog()); });
    connect(areaDialog_, &AreaDialog::backRequested, this, [this] { bringUp(archiveDirectoryDialog()); });
  }
  return *areaDialog_;
}

PeriodDialog& MainWindow::periodDialog() {
  if (periodDialog_ == nullptr) {
    periodDialog_ = new PeriodDialog(conditions_, readouts_, messages_, this);
    connect(periodDialog_, &PeriodDialog::backRequested, this, [this] { bringUp(areaDialog()); });
  }
  return *periodDialog_;
}

OverwriteDialog& MainWindow::overwriteDialog() {
  if (overwriteDialog_ == nullptr) {
    overwriteDialog_ = new OverwriteDialog(this);
    connect(overwriteDialog_, &OverwriteDialog::overwriteChosen, this, [this] { bringUp(preprocessDialog()); });
  }
  return *overwriteDialog_;
}

PreprocessDialog& MainWindow::preprocessDialog() {
  if (preprocessDialog_ == nullptr) {
    preprocessDialog_ = new PreprocessDialog(conditions_, messages_, [this] { return ending_; }, this);
  }
  return *preprocessDialog_;
}

VersionWindow& MainWindow::versionWindow() {
  if (versionWindow_ == nullptr) versionWindow_ = new VersionWindow(messages_, urlOpener_, this);
  return *versionWindow_;
}

void MainWindow::showConditionsSequence() { bringUp(archiveDirectoryDialog()); }

void MainWindow::startPreprocessing() {
  const core::ArchiveSelection selection = conditions_.archiveSelection();
  if (!core::readyToPreprocess(selection, [this](const core::Status& missing) { messages_.report(missing); })) return;
  conditions_.outputRmdPath = core::outputRmdPath(selection);
  if (QFile::exists(QString::fromStdString(conditions_.outputRmdPath))) {
    bringUp(overwriteDialog());
  } else {
    bringUp(preprocessDialog());
  }
}

void MainWindow::showVersionWindow() { bringUp(versionWindow()); }

void MainWindow::endProgram() {
  if (ending_) return;
  ending_ = true;
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window != this) window->hide();
  }
  hide();
  QCoreApplication::quit();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  endProgram();
  event->accept();
}

}  // namespace ombrix::ui
