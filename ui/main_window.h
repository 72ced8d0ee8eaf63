#pragma once
// Form1, the main window: the read-outs of the analysis conditions, the drawing controls, the
// map and the menu bar that starts every other window of the program.
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QUrl>
#include <array>
#include <functional>

#include "core/analysis_conditions.h"
#include "ui/condition_readouts.h"
#include "ui/message_sink.h"

class QAction;
class QCloseEvent;
class QMenu;

namespace ombrix::ui {

class ArchiveDirectoryDialog;
class MapViewer;
class AreaDialog;
class PeriodDialog;
class OverwriteDialog;
class PreprocessDialog;
class VersionWindow;

// Opens an address in the user's browser; tests pass one that records the address.
using UrlOpener = std::function<void(const QUrl&)>;
UrlOpener browserUrlOpener();

// The controls of frame Frame1 ("描画コントロール"), hidden until a file is opened.
struct DrawingControls {
  QGroupBox* frame = nullptr;                       // Frame1
  QComboBox* startTime = nullptr;                   // ComboKaishi
  QPushButton* previous = nullptr;                  // Command4
  QPushButton* drawStart = nullptr;                 // Command2
  QPushButton* next = nullptr;                      // Command3
  std::array<QPushButton*, 2> animation{};          // Command5_0 start, Command5_1 stop
  QComboBox* endTime = nullptr;                     // ComboOwari
  QPushButton* maximum = nullptr;                   // Comdmax
  QPushButton* accumulate = nullptr;                // ComdAccum
  QCheckBox* animateProgress = nullptr;             // Check1
  QFrame* progressTrack = nullptr;                  // Picture_Reading
  QFrame* progressBar = nullptr;                    // Reading_Bar
  QGroupBox* intensityLegend = nullptr;             // Frame3
  QGroupBox* accumulationLegend = nullptr;          // Frame4
};

class MainWindow final : public QMainWindow {
  Q_OBJECT

 public:
  static constexpr int kClientWidth = 1013;
  static constexpr int kClientHeight = 619;

  MainWindow(core::AnalysisConditions& conditions, MessageSink& messages, UrlOpener urlOpener = browserUrlOpener());
  ~MainWindow() override;

  core::AnalysisConditions& conditions() noexcept { return conditions_; }
  MessageSink& messages() noexcept { return messages_; }
  ConditionReadouts& readouts() noexcept { return readouts_; }
  const DrawingControls& drawingControls() const noexcept { return drawing_; }
  QWidget* pictArea() const noexcept { return pictArea_; }
  QLineEdit* timeText() const noexcept { return timeText_; }  // Text2
  // Opening files, drawing, animation, accumulation and the CSV exports.
  MapViewer& viewer() const noexcept { return *viewer_; }

  // Secondary windows, each created on first use and kept (hidden) until the program ends.
  ArchiveDirectoryDialog& archiveDirectoryDialog();
  AreaDialog& areaDialog();
  PeriodDialog& periodDialog();
  OverwriteDialog& overwriteDialog();
  PreprocessDialog& preprocessDialog();
  VersionWindow& versionWindow();

  // Menu commands.
  void showConditionsSequence();  // MenuMelt: the archive directory, then area and period
  void startPreprocessing();      // MenuMaeshori
  void showVersionWindow();       // MenuVer
  // MenuEnd and the close box: hides every window at once and ends the event loop. A long
  // operation yielding to events when this happens sees isEnding() and shows nothing more.
  void endProgram();
  bool isEnding() const noexcept { return ending_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildDrawingControls(QWidget* client);
  void buildMenus();
  QAction* addCommand(QMenu* menu, const char* name, const QString& caption);
  void addSeparator(QMenu* menu, const char* name);

  core::AnalysisConditions& conditions_;
  MessageSink& messages_;
  UrlOpener urlOpener_;
  bool ending_ = false;

  QWidget* client_;
  ConditionReadouts readouts_;
  DrawingControls drawing_;
  QWidget* pictArea_ = nullptr;
  QLineEdit* timeText_ = nullptr;

  // Owned by this window through Qt's parent links.
  ArchiveDirectoryDialog* archiveDirectoryDialog_ = nullptr;
  AreaDialog* areaDialog_ = nullptr;
  PeriodDialog* periodDialog_ = nullptr;
  OverwriteDialog* overwriteDialog_ = nullptr;
  PreprocessDialog* preprocessDialog_ = nullptr;
  VersionWindow* versionWindow_ = nullptr;
  MapViewer* viewer_ = nullptr;
};

}  // namespace ombrix::ui
