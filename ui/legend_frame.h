#pragma once
// The two legend frames of the drawing controls: eight colour swatches (Shape1_i) with their
// labels (Label10_i), built from the viewer's legend tables.
#include <QGroupBox>
#include <QWidget>

#include "viewer/intensity_classes.h"

namespace ombrix::ui {

// Frame3 (rain rate) or Frame4 (accumulated rainfall) at its place inside parent.
QGroupBox* addLegendFrame(QWidget* parent, viewer::ClassScale scale);

// Gives the accumulated-rainfall frame the labels of scale (Accumulation, or ShortDuration for a
// short duration map); the swatches are the same.
void labelDepthLegend(QGroupBox& frame, viewer::ClassScale scale);

}  // namespace ombrix::ui
