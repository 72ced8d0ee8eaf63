#include "ui/condition_readouts.h"

#include "core/number_text.h"
#include "ui/app_look.h"
#include "ui/control_factory.h"

namespace ombrix::ui {

namespace {

QString degreesText(std::int32_t microdegrees) { return QString::fromStdString(core::formatDegrees(microdegrees)); }

}  // namespace

ConditionReadouts::ConditionReadouts(QWidget* client)
    : frame_(addFrame(client, elementName("Frame2", 0), QStringLiteral("解析エリア"), {16, 8, 289, 257},
                      captionFont(), kCaptionBlue)) {
  QWidget* f = frame_;
  addLabel(f, QStringLiteral("Label4"), QStringLiteral("データファイル保存フォルダ"), {8, 24, 153, 17});
  dataPath_ = addReadout(f, QStringLiteral("DataPath"), {8, 40, 249, 18});
  addLabel(f, QStringLiteral("Label3"), QStringLiteral("解析エリア"), {8, 80, 73, 17});
  areaName_ = addReadout(f, QStringLiteral("TextArea"), {80, 80, 81, 18});
  addLabel(f, elementName("Label2", 0), QStringLiteral("緯度"), {112, 104, 25, 17});
  addLabel(f, elementName("Label2", 1), QStringLiteral("経度"), {200, 104, 25, 17});

  addLabel(f, elementName("Label1", 0), QStringLiteral("左上座標値（"), {32, 120, 73, 17});
  upperLeft_[0] = addReadout(f, elementName("Coad1", 0), {104, 120, 65, 18});
  upperLeft_[1] = addReadout(f, elementName("Coad1", 1), {192, 120, 65, 18});
  addLabel(f, elementName("Label1", 2), QStringLiteral(","), {176, 120, 25, 17});
  addLabel(f, elementName("Label1", 4), QStringLiteral(")"), {264, 120, 17, 17});
  addLabel(f, elementName("Label1", 1), QStringLiteral("右下座標値（"), {32, 144, 73, 17});
  lowerRight_[0] = addReadout(f, elementName("Coad2", 0), {104, 144, 65, 18});
  lowerRight_[1] = addReadout(f, elementName("Coad2", 1), {192, 144, 65, 18});
  addLabel(f, elementName("Label1", 3), QStringLiteral(","), {176, 144, 25, 17});
  addLabel(f, elementName("Label1", 5), QStringLiteral(")"), {264, 144, 17, 17});

  addLabel(f, QStringLiteral("Label7"), QStringLiteral("年"), {120, 184, 33, 17});
  addLabel(f, QStringLiteral("Label8"), QStringLiteral("月"), {168, 184, 25, 17});
  addLabel(f, QStringLiteral("Label9"), QStringLiteral("日"), {200, 184, 33, 17});
  addLabel(f, QStringLiteral("Label5"), QStringLiteral("解析期間"), {8, 200, 73, 17});
  addLabel(f, QStringLiteral("Label6"), QStringLiteral("開始"), {72, 200, 33, 17});
  addLabel(f, QStringLiteral("Label12"), QStringLiteral("終了"), {72, 224, 33, 17});
  for (int row = 0; row < 2; ++row) {
    const int top = row == 0 ? 200 : 224;
    year_[row] = addReadout(f, elementName("YearText", row), {104, top, 49, 18});
    month_[row] = addReadout(f, elementName("MonthText", row), {160, top, 25, 18});
    day_[row] = addReadout(f, elementName("DayText", row), {192, top, 25, 18});
  }
  // The comma labels reach under the longitude boxes; keep the boxes on top of them.
  for (QLineEdit* box : {upperLeft_[0], upperLeft_[1], lowerRight_[0], lowerRight_[1]}) box->raise();
}

void ConditionReadouts::showPath(const QString& path) { dataPath_->setText(path); }

void ConditionReadouts::showAreaName(const QString& name) { areaName_->setText(name); }

void ConditionReadouts::showCorners(std::int32_t north, std::int32_t west, std::int32_t south, std::int32_t east) {
  upperLeft_[0]->setText(degreesText(north));
  upperLeft_[1]->setText(degreesText(west));
  lowerRight_[0]->setText(degreesText(south));
  lowerRight_[1]->setText(degreesText(east));
}

void ConditionReadouts::showDates(const std::array<std::int32_t, 2>& year, const std::array<std::int32_t, 2>& month,
                                  const std::array<std::int32_t, 2>& day) {
  for (int row = 0; row < 2; ++row) {
    year_[row]->setText(QString::number(year[row]));
    month_[row]->setText(QString::number(month[row]));
    day_[row]->setText(QString::number(day[row]));
  }
}

}  // namespace ombrix::ui
