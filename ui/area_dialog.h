#pragma once
// Form2: chooses the analysis area, one of the eight named regions (their bounds are written
// into the conditions at once) or corner coordinates typed into the four boxes.
#include <QLineEdit>
#include <QRadioButton>
#include <QString>
#include <QWidget>
#include <array>

#include "core/analysis_conditions.h"
#include "core/region_table.h"
#include "ui/condition_readouts.h"
#include "ui/message_sink.h"

namespace ombrix::ui {

class AreaDialog final : public QWidget {
  Q_OBJECT

 public:
  AreaDialog(core::AnalysisConditions& conditions, ConditionReadouts& readouts, MessageSink& messages,
             QWidget* parent);

  void chooseRegion(int index);  // click on AnaArea_i
  void set();                    // Command1 "セット"
  void back();                   // Command2 "戻る"

  const QString& chosenRegionName() const noexcept { return chosenName_; }

 signals:
  void areaSet();
  void backRequested();

 private:
  core::AnalysisConditions& conditions_;
  ConditionReadouts& readouts_;
  MessageSink& messages_;
  std::array<QRadioButton*, core::kRegionCount> regions_{};
  // Coad1_0 north, Coad1_1 west, Coad2_0 south, Coad2_1 east: the order Set reads them in.
  std::array<QLineEdit*, 4> boxes_{};
  QString chosenName_;
};

}  // namespace ombrix::ui
