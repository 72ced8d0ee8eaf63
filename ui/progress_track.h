#pragma once
// A progress bar: Reading_Bar inside its track Picture_Reading, whose width shows how far a
// computation, an export or a preprocessing run has come. The one home of the bar's widths.
#include <QFrame>
#include <QObject>
#include <optional>

namespace ombrix::ui {

class ProgressTrack final : public QObject {
  Q_OBJECT

 public:
  ProgressTrack(QFrame* track, QFrame* bar, QObject* parent = nullptr);

  // W, the width of the track in window units: the track box's width unless set otherwise.
  int trackWidth() const;
  void setTrackWidth(int width) { trackWidth_ = width; }
  // The bar's width in the same units.
  void setBarWidth(int width);
  // The bar after done of count equal steps: stepsWidth(W, done, count).
  void showSteps(int done, int count) { setBarWidth(stepsWidth(trackWidth(), done, count)); }
  // The bar at fraction (0 .. 1) of W, rounded to the nearest unit.
  void showFraction(double fraction);
  void showFull() { setBarWidth(trackWidth()); }

  // done x (trackWidth / count rounded half to even): the steps of the preprocessing run and of
  // the folds, which add up to W only where the step is exact.
  static int stepsWidth(int trackWidth, int done, int count);

 signals:
  void barWidthSet(int width);

 private:
  QFrame* track_;
  QFrame* bar_;
  std::optional<int> trackWidth_;
};

}  // namespace ombrix::ui
