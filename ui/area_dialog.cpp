#include "ui/area_dialog.h"

#include <optional>

#include "core/number_text.h"
#include "ui/app_look.h"
#include "ui/control_factory.h"
#include "ui/qt_text.h"

namespace ombrix::ui {

namespace {

constexpr std::array<core::Problem, 4> kNotNumber{core::Problem::NorthLatNotNumber, core::Problem::WestLonNotNumber,
                                                  core::Problem::SouthLatNotNumber, core::Problem::EastLonNotNumber};

std::array<std::int32_t*, 4> edgesInBoxOrder(core::AnalysisConditions& c) {
  return {&c.area.northLat, &c.area.westLon, &c.area.southLat, &c.area.eastLon};
}

}  // namespace

AreaDialog::AreaDialog(core::AnalysisConditions& conditions, ConditionReadouts& readouts, MessageSink& messages,
                       QWidget* parent)
    : QWidget(parent, Qt::Window), conditions_(conditions), readouts_(readouts), messages_(messages) {
  prepareWindow(*this, QStringLiteral("Form2"), QStringLiteral("解析エリアの設定"), 353, 273);
  QGroupBox* frame = addFrame(this, QStringLiteral("Frame2"), QStringLiteral("解析エリアの設定"), {8, 8, 337, 225},
                              captionFont(), kCaptionBlue);
  for (int i = 0; i < core::kRegionCount; ++i) {
    const QString name = qtText(core::regionTable()[static_cast<std::size_t>(i)].name);
    regions_[static_cast<std::size_t>(i)] =
        addOptionButton(frame, elementName("AnaArea", i), name, {16 + (i % 3) * 104, 28 + (i / 3) * 24, 104, 20});
    connect(regions_[static_cast<std::size_t>(i)], &QRadioButton::clicked, this, [this, i] { chooseRegion(i); });
  }
  addLabel(frame, QStringLiteral("Label3"), QStringLiteral("※下に直接数値を代入"), {16, 108, 201, 17});
  addLabel(frame, elementName("Label2", 0), QStringLiteral("緯度"), {120, 132, 41, 17});
  addLabel(frame, elementName("Label2", 1), QStringLiteral("経度"), {208, 132, 41, 17});
  for (int row = 0; row < 2; ++row) {
    const int top = 152 + row * 32;
    const char* box = row == 0 ? "Coad1" : "Coad2";
    addLabel(frame, elementName("Label1", row), row == 0 ? QStringLiteral("左上座標値（") : QStringLiteral("右下座標値（"),
             {16, top + 2, 81, 17});
    boxes_[static_cast<std::size_t>(2 * row)] = addTextBox(frame, elementName(box, 0), {96, top, 73, 21});
    addLabel(frame, elementName("Label1", 2 + row), QStringLiteral(","), {174, top + 2, 9, 17});
    boxes_[static_cast<std::size_t>(2 * row + 1)] = addTextBox(frame, elementName(box, 1), {184, top, 73, 21});
    addLabel(frame, elementName("Label1", 4 + row), QStringLiteral(")"), {262, top + 2, 17, 17});
  }
  connect(addButton(this, QStringLiteral("Command1"), QStringLiteral("セット"), {168, 240, 81, 25}),
          &QPushButton::clicked, this, &AreaDialog::set);
  connect(addButton(this, QStringLiteral("Command2"), QStringLiteral("戻る"), {264, 240, 81, 25}),
          &QPushButton::clicked, this, &AreaDialog::back);
}

void AreaDialog::chooseRegion(int index) {
  regions_[static_cast<std::size_t>(index)]->setChecked(true);
  if (const std::optional<core::AreaBounds> preset = core::regionPreset(index)) {
    conditions_.area = *preset;
    const std::array<std::int32_t*, 4> edges = edgesInBoxOrder(conditions_);
    for (std::size_t i = 0; i < boxes_.size(); ++i) boxes_[i]->setText(qtText(core::formatDegrees(*edges[i])));
  }
  chosenName_ = regions_[static_cast<std::size_t>(index)]->text();
}

void AreaDialog::set() {
  std::array<std::int32_t, 4> values{};
  for (std::size_t i = 0; i < boxes_.size(); ++i) {
    const std::optional<std::int32_t> value = core::parseDegrees(boxes_[i]->text().trimmed().toStdString());
    if (!value) {
      messages_.report({kNotNumber[i]});
      boxes_[i]->setFocus();
      return;
    }
    values[i] = *value;
  }
  const std::array<std::int32_t*, 4> edges = edgesInBoxOrder(conditions_);
  for (std::size_t i = 0; i < edges.size(); ++i) *edges[i] = values[i];
  conditions_.areaName = chosenName_.toStdString();
  readouts_.showCorners(conditions_.area.northLat, conditions_.area.westLon, conditions_.area.southLat,
                        conditions_.area.eastLon);
  readouts_.showAreaName(chosenName_);
  hide();
  emit areaSet();
}

void AreaDialog::back() {
  hide();
  emit backRequested();
}

}  // namespace ombrix::ui
