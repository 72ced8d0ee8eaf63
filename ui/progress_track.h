#pragma once
// The progress bar of the drawing controls: Reading_Bar inside its track Picture_Reading, whose
// width shows how far a computation or an export has come.
#include <QFrame>
#include <QObject>
#include <optional>

namespace ombrix::ui {

class ProgressTrack final : public QObject {
  Q_OBJECT

 public:
  ProgressTrack(QFrame* track, QFrame* bar, QObject* parent = nullptr);

  // W, the width of the track in window units: the track's inside unless set otherwise.
  int trackWidth() const;
  void setTrackWidth(int width) { trackWidth_ = width; }
  // The bar's width in the same units.
  void setBarWidth(int width);

 signals:
  void barWidthSet(int width);

 private:
  QFrame* track_;
  QFrame* bar_;
  std::optional<int> trackWidth_;
};

}  // namespace ombrix::ui
