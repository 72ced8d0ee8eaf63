#include "ui/archive_directory_dialog.h"

#include <QDir>

#include "core/messages.h"
#include "ui/app_look.h"
#include "ui/control_factory.h"
#include "ui/qt_text.h"

namespace ombrix::ui {

ArchiveDirectoryDialog::ArchiveDirectoryDialog(core::AnalysisConditions& conditions, ConditionReadouts& readouts,
                                               MessageSink& messages, QWidget* parent)
    : QWidget(parent, Qt::Window), conditions_(conditions), readouts_(readouts) {
  prepareWindow(*this, QStringLiteral("Form4"), QStringLiteral("気象庁レーダアメダスデータの保存ディレクトリの指定"), 409,
                329);
  QGroupBox* frame = addFrame(this, QStringLiteral("Frame1"), QString(), {8, 8, 393, 273}, controlFont(), Qt::black);
  directoryList_ = addDirectoryList(frame, {8, 16, 377, 249}, messages);
  directoryList_->openStartDirectory();
  connect(addButton(this, QStringLiteral("Command1"), QStringLiteral("セット"), {224, 292, 81, 25}), &QPushButton::clicked,
          this, &ArchiveDirectoryDialog::set);
  connect(addButton(this, QStringLiteral("Command2"), QStringLiteral("閉じる"), {312, 292, 81, 25}),
          &QPushButton::clicked, this, &ArchiveDirectoryDialog::closeDialog);
}

void ArchiveDirectoryDialog::set() {
  conditions_.archiveDir = directoryList_->openPath().toStdString();
  readouts_.showPath(directoryList_->openPath());
  hide();
  emit directorySet();
}

void ArchiveDirectoryDialog::closeDialog() { hide(); }

}  // namespace ombrix::ui
