#include "ui/progress_track.h"

#include <algorithm>
#include <cmath>

#include "core/progress_step.h"

namespace ombrix::ui {

ProgressTrack::ProgressTrack(QFrame* track, QFrame* bar, QObject* parent)
    : QObject(parent), track_(track), bar_(bar) {}

int ProgressTrack::trackWidth() const { return trackWidth_.value_or(track_->width()); }

void ProgressTrack::setBarWidth(int width) {
  bar_->resize(std::max(width, 0), bar_->height());
  emit barWidthSet(width);
}

void ProgressTrack::showFraction(double fraction) {
  setBarWidth(static_cast<int>(std::lround(fraction * trackWidth())));
}

int ProgressTrack::stepsWidth(int trackWidth, int done, int count) { return done * core::progressStep(trackWidth, count); }

}  // namespace ombrix::ui
