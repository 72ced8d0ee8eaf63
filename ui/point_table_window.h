#pragma once
// FilePathCSV: builds the rainfall table of one mesh cell from a CSV set. The folder open in
// the directory list is the set's folder; the cell ID is asked for in an input box.
#include <QWidget>

#include "core/analysis_conditions.h"
#include "ui/directory_list.h"
#include "ui/message_sink.h"

namespace ombrix::ui {

class PointTableWindow final : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kClientWidth = 393;
  static constexpr int kClientHeight = 268;

  PointTableWindow(core::AnalysisConditions& conditions, MessageSink& messages, QWidget* parent);

  DirectoryList& directoryList() const noexcept { return *directoryList_; }

  void buildTable();  // Command1 "雨量テーブルデータの出力"
  void closeWindow(); // Command2 "閉じる"

 private:
  core::AnalysisConditions& conditions_;
  MessageSink& messages_;
  DirectoryList* directoryList_;
};

}  // namespace ombrix::ui
