#pragma once
// Form3: chooses the first and last day of the analysis period. Set checks the period against
// the archive and catalogues one archive file per day.
#include <QComboBox>
#include <QWidget>
#include <array>

#include "core/analysis_conditions.h"
#include "ui/condition_readouts.h"
#include "ui/message_sink.h"

namespace ombrix::ui {

class PeriodDialog final : public QWidget {
  Q_OBJECT

 public:
  PeriodDialog(core::AnalysisConditions& conditions, ConditionReadouts& readouts, MessageSink& messages,
               QWidget* parent);

  void set();   // Command1 "セット"
  void back();  // Command2 "戻る"

 signals:
  void backRequested();

 private:
  // One row of lists: year, month, day, hour, minute (Combo1_i .. Combo5_i).
  using Row = std::array<QComboBox*, 5>;

  core::AnalysisConditions& conditions_;
  ConditionReadouts& readouts_;
  MessageSink& messages_;
  std::array<Row, 2> rows_{};  // [0] start, [1] end
};

}  // namespace ombrix::ui
