#pragma once
// PictArea, the map's drawing surface: a widget that owns an RGB32 image the renderers write
// into directly and that paints the image as it is.
#include <QImage>
#include <QWidget>

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

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage image_;
};

}  // namespace ombrix::ui
