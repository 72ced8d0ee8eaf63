#include "ui/preprocess_dialog.h"

#include <QCloseEvent>
#include <QCoreApplication>

#include "core/messages.h"
#include "core/preprocess_run.h"
#include "ui/app_look.h"
#include "ui/control_factory.h"
#include "ui/qt_text.h"

namespace ombrix::ui {

PreprocessDialog::PreprocessDialog(core::AnalysisConditions& conditions, MessageSink& messages,
                                   std::function<bool()> programEnding, QWidget* parent)
    : QWidget(parent, Qt::Window), conditions_(conditions), messages_(messages), programEnding_(std::move(programEnding)) {
  prepareWindow(*this, QStringLiteral("Ana1st"), QStringLiteral("解凍"), 305, 121);
  waitLabel_ = addLabel(this, QStringLiteral("Label1"), QString(), {16, 12, 273, 17});
  QFrame* track = addPictureBox(this, QStringLiteral("Picture_Reading"), {16, 36, 273, 25});
  progress_ = new ProgressTrack(
      track, addFilledBox(track, QStringLiteral("Reading_Bar"), {0, 0, 0, 25}, kCaptionBlue, kCaptionBlue), this);
  start_ = addButton(this, QStringLiteral("Command1"), QStringLiteral("解凍開始"), {56, 80, 89, 25});
  back_ = addButton(this, QStringLiteral("Command2"), QStringLiteral("戻る"), {160, 80, 89, 25});
  connect(start_, &QPushButton::clicked, this, &PreprocessDialog::run);
  connect(back_, &QPushButton::clicked, this, &PreprocessDialog::back);
}

void PreprocessDialog::run() {
  // A run started while this one yields would end first and show the buttons of a run still working.
  if (running_) return;
  // The conditions may have changed since the menu command opened this dialog.
  if (!core::readyToPreprocess(conditions_.archiveSelection(), [this](const core::Status& missing) { messages_.report(missing); })) return;

  running_ = true;
  waitLabel_->setText(qtText(messages::kPleaseWait));
  setButtonsVisible(false);
  core::OperationCallbacks callbacks;
  callbacks.yield = [] { QCoreApplication::processEvents(); };
  callbacks.progress = [this](int filesBegun, int fileCount) {
    progress_->showSteps(filesBegun, fileCount);
  };
  const core::PreprocessResult result =
      core::runPreprocessing(conditions_.archiveSelection(), conditions_.outputRmdPath, callbacks);
  conditions_.takePreprocessResult(result);
  running_ = false;
  if (programEnding_()) return;
  if (!result.status) {
    messages_.report(result.status);
    setButtonsVisible(true);
    return;
  }
  progress_->showFull();
  messages_.show(messages::kPreprocessingDone);
  setButtonsVisible(true);
  hide();
}

void PreprocessDialog::back() { hide(); }

void PreprocessDialog::closeEvent(QCloseEvent* event) {
  // There is no cancel: the window stays until its run has ended.
  if (running_) {
    event->ignore();
    return;
  }
  event->accept();
}

void PreprocessDialog::setButtonsVisible(bool visible) {
  start_->setVisible(visible);
  back_->setVisible(visible);
}


}  // namespace ombrix::ui
