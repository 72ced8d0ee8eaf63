#pragma once
// Ana1st: starts the preprocessing run, shows its progress and its outcome. The run yields to
// pending user-interface events once per archive file of its frame pass.
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <functional>

#include "core/analysis_conditions.h"
#include "ui/message_sink.h"
#include "ui/progress_track.h"

class QCloseEvent;

namespace ombrix::ui {

class PreprocessDialog final : public QWidget {
  Q_OBJECT

 public:
  // programEnding tells whether the program is ending while the run yields: the run then
  // finishes its file without showing anything more.
  PreprocessDialog(core::AnalysisConditions& conditions, MessageSink& messages, std::function<bool()> programEnding,
                   QWidget* parent);

  void run();  // Command1 "解凍開始"
  void back();  // Command2 "戻る"

  bool isRunning() const noexcept { return running_; }
 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void setButtonsVisible(bool visible);

  core::AnalysisConditions& conditions_;
  MessageSink& messages_;
  std::function<bool()> programEnding_;
  bool running_ = false;
  QLabel* waitLabel_;
  ProgressTrack* progress_;
  QPushButton* start_;
  QPushButton* back_;
};

}  // namespace ombrix::ui
