#include "ui/legend_frame.h"

#include <QColor>
#include <QString>

#include "ui/app_look.h"
#include "ui/control_factory.h"
#include "ui/qt_text.h"
#include "viewer/intensity_classes.h"

namespace ombrix::ui {

namespace {

constexpr int kLabelWidth = 97;

QColor toQColor(const viewer::Colour& colour) { return QColor(colour.red, colour.green, colour.blue); }

}  // namespace

QGroupBox* addLegendFrame(QWidget* parent, Legend legend) {
  const bool intensity = legend == Legend::Intensity;
  QGroupBox* frame = addFrame(parent, intensity ? QStringLiteral("Frame3") : QStringLiteral("Frame4"),
                              qtText(viewer::kLegendCaption),
                              {8, 200, 273, 121}, controlFont(), QColor(0, 0, 0));
  for (const viewer::LegendEntry& entry : intensity ? viewer::intensityLegend() : viewer::accumulationLegend()) {
    addFilledBox(frame, elementName("Shape1", entry.shapeIndex),
                 {entry.swatchX, entry.swatchY, viewer::kLegendSwatchSize, viewer::kLegendSwatchSize},
                 toQColor(entry.swatch), QColor(0, 0, 0));
    QLabel* label = addLabel(frame, elementName("Label10", entry.labelIndex),
                             qtText(entry.label),
                             {entry.labelX, entry.labelY, kLabelWidth, viewer::kLegendLabelHeight});
    label->setFont(explicitFont(kGothicFamily, 8.25));
  }
  return frame;
}

}  // namespace ombrix::ui
