#pragma once
// Form4: chooses the directory that holds the archive's year folders. Set stores the directory
// the list has open (not a folder merely highlighted) and passes on to the area dialog.
#include <QWidget>

#include "core/analysis_conditions.h"
#include "ui/condition_readouts.h"
#include "ui/directory_list.h"
#include "ui/message_sink.h"

namespace ombrix::ui {

class ArchiveDirectoryDialog final : public QWidget {
  Q_OBJECT

 public:
  ArchiveDirectoryDialog(core::AnalysisConditions& conditions, ConditionReadouts& readouts, MessageSink& messages,
                         QWidget* parent);

  DirectoryList& directoryList() const noexcept { return *directoryList_; }

  void set();    // Command1 "セット"
  void closeDialog();  // Command2 "閉じる": hides, stores nothing

 signals:
  void directorySet();

 private:
  core::AnalysisConditions& conditions_;
  ConditionReadouts& readouts_;
  DirectoryList* directoryList_;
};

}  // namespace ombrix::ui
