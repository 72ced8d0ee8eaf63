#include "ui/legend_frame.h"

#include <QColor>
#include <QLabel>
#include <QString>
#include <array>

#include "ui/app_look.h"
#include "ui/control_factory.h"
#include "ui/qt_text.h"
#include "viewer/intensity_classes.h"

namespace ombrix::ui {

namespace {

constexpr int kSwatchSize = 17;
constexpr int kLabelWidth = 97;
constexpr int kLabelHeight = 17;

// The control array elements of an entry's swatch (Shape1_i) and label (Label10_i).
struct EntryControls {
  int shapeIndex;
  int labelIndex;
};

constexpr std::array<EntryControls, 8> kIntensityControls{
    {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}, {15, 16}, {5, 5}, {6, 6}}};
constexpr std::array<EntryControls, 8> kAccumulationControls{
    {{13, 13}, {12, 12}, {11, 11}, {10, 15}, {9, 9}, {8, 8}, {14, 14}, {7, 7}}};

QColor toQColor(const viewer::Colour& colour) { return QColor(colour.red, colour.green, colour.blue); }

}  // namespace

QGroupBox* addLegendFrame(QWidget* parent, viewer::ClassScale scale) {
  const bool intensity = scale == viewer::ClassScale::Intensity;
  QGroupBox* frame = addFrame(parent, intensity ? QStringLiteral("Frame3") : QStringLiteral("Frame4"),
                              QStringLiteral("凡例"), {8, 200, 273, 121}, controlFont(), QColor(0, 0, 0));
  const auto& entries = intensity ? viewer::intensityLegend() : viewer::accumulationLegend();
  const auto& controls = intensity ? kIntensityControls : kAccumulationControls;
  // Four rows in a left column, then four in a right one.
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const int x = i < 4 ? 8 : 136;
    const int y = 16 + 24 * static_cast<int>(i % 4);
    addFilledBox(frame, elementName("Shape1", controls[i].shapeIndex), {x, y, kSwatchSize, kSwatchSize},
                 toQColor(entries[i].swatch), QColor(0, 0, 0));
    QLabel* label = addLabel(frame, elementName("Label10", controls[i].labelIndex), qtText(entries[i].label),
                             {x + 24, y, kLabelWidth, kLabelHeight});
    label->setFont(explicitFont(kGothicFamily, 8.25));
  }
  return frame;
}

void labelDepthLegend(QGroupBox& frame, viewer::ClassScale scale) {
  const auto& entries = viewer::legendOf(scale);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const EntryControls& controls = kAccumulationControls[i];
    if (auto* label = frame.findChild<QLabel*>(elementName("Label10", controls.labelIndex))) {
      label->setText(qtText(entries[i].label));
    }
  }
}

}  // namespace ombrix::ui
