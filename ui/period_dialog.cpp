#include "ui/period_dialog.h"

#include <QStringList>

#include "core/period_check.h"
#include "ui/app_look.h"
#include "ui/control_factory.h"

namespace ombrix::ui {

namespace {

QStringList numbers(int from, int to, int step) {
  QStringList items;
  for (int value = from; step > 0 ? value <= to : value >= to; value += step) items.append(QString::number(value));
  return items;
}

// The items of Combo1 .. Combo5: years newest first, months, days, hours, minutes.
std::array<QStringList, 5> listItems() {
  return {numbers(2005, 1988, -1), numbers(1, 12, 1), numbers(1, 31, 1), numbers(0, 23, 1),
          QStringList{QStringLiteral("00"), QStringLiteral("30")}};
}

constexpr std::array<int, 5> kListLefts{72, 144, 200, 256, 312};
constexpr std::array<int, 5> kListWidths{65, 49, 49, 49, 49};

}  // namespace

PeriodDialog::PeriodDialog(core::AnalysisConditions& conditions, ConditionReadouts& readouts, MessageSink& messages,
                           QWidget* parent)
    : QWidget(parent, Qt::Window), conditions_(conditions), readouts_(readouts), messages_(messages) {
  prepareWindow(*this, QStringLiteral("Form3"), QStringLiteral("解析期間の設定"), 393, 145);
  QGroupBox* frame = addFrame(this, QStringLiteral("Frame1"), QStringLiteral("解析期間の設定"), {8, 8, 377, 97},
                              captionFont(), kCaptionBlue);
  addLabel(frame, QStringLiteral("Label1"), QStringLiteral("開始日"), {16, 34, 49, 17});
  addLabel(frame, QStringLiteral("Label2"), QStringLiteral("終了日"), {16, 66, 49, 17});
  const std::array<QStringList, 5> items = listItems();
  for (int row = 0; row < 2; ++row) {
    for (std::size_t list = 0; list < items.size(); ++list) {
      const QString name = elementName(("Combo" + std::to_string(list + 1)).c_str(), row);
      QComboBox* combo = addEditableList(frame, name, {kListLefts[list], 32 + 32 * row, kListWidths[list], 21}, items[list]);
      combo->setCurrentIndex(0);
      rows_[static_cast<std::size_t>(row)][list] = combo;
    }
  }
  connect(addButton(this, QStringLiteral("Command1"), QStringLiteral("セット"), {208, 112, 81, 25}),
          &QPushButton::clicked, this, &PeriodDialog::set);
  connect(addButton(this, QStringLiteral("Command2"), QStringLiteral("戻る"), {304, 112, 81, 25}),
          &QPushButton::clicked, this, &PeriodDialog::back);
}

void PeriodDialog::set() {
  core::PeriodTexts texts;
  for (std::size_t row = 0; row < 2; ++row) {
    texts.year[row] = rows_[row][0]->currentText().trimmed().toStdString();
    texts.month[row] = rows_[row][1]->currentText().trimmed().toStdString();
    texts.day[row] = rows_[row][2]->currentText().trimmed().toStdString();
  }
  // Texts that are not dates leave the period as it was.
  core::ArchivePeriod period = conditions_.archiveSelection().period;
  const core::Status check = core::checkPeriodTexts(texts, conditions_.archiveDir, period);
  conditions_.setPeriod(period);
  if (!check) {
    messages_.report(check);
    return;
  }
  readouts_.showDates(conditions_.periodYear, conditions_.periodMonth, conditions_.periodDay);
  hide();
}

void PeriodDialog::back() {
  hide();
  emit backRequested();
}

}  // namespace ombrix::ui
