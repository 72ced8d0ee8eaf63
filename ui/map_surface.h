#pragma once
// PictArea, the map's drawing surface: a widget that owns an RGB32 image the renderers write
// into directly and that paints the image as it is.
#include <QImage>
#include <QPoint>
#include <QString>
#include <QWidget>
#include <functional>

#include "viewer/rgb_surface.h"

namespace ombrix::ui {

class MapSurface final : public QWidget {
  Q_OBJECT

 public:
  explicit MapSurface(QWidget* parent = nullptr);

  // The image's own pixels as the renderers' surface; the image follows the widget's size and
  // starts white.
  viewer::SurfaceView surface();
  const QImage& image() const noexcept { return image_; }
  // The tooltip text for a point of the surface; empty shows none.
  void setTipText(std::function<QString(QPoint)> tipText) { tipText_ = std::move(tipText); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool event(QEvent* event) override;

 private:
  QImage image_;
  std::function<QString(QPoint)> tipText_;
};

}  // namespace ombrix::ui
