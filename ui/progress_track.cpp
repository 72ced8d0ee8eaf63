#include "ui/progress_track.h"

#include <algorithm>

namespace ombrix::ui {

ProgressTrack::ProgressTrack(QFrame* track, QFrame* bar, QObject* parent)
    : QObject(parent), track_(track), bar_(bar) {}

int ProgressTrack::trackWidth() const { return trackWidth_.value_or(track_->contentsRect().width()); }

void ProgressTrack::setBarWidth(int width) {
  bar_->resize(std::max(width, 0), bar_->height());
  emit barWidthSet(width);
}

}  // namespace ombrix::ui
