#include "ui/map_surface.h"

#include <QPaintEvent>
#include <QPainter>

namespace ombrix::ui {

MapSurface::MapSurface(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

viewer::SurfaceView MapSurface::surface() {
  if (image_.size() != size()) {
    image_ = QImage(size(), QImage::Format_RGB32);
    image_.fill(Qt::white);
  }
  if (image_.isNull()) return {};
  return {reinterpret_cast<std::uint32_t*>(image_.bits()), image_.width(), image_.height(),
          static_cast<int>(image_.bytesPerLine() / 4)};
}

void MapSurface::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.fillRect(event->rect(), Qt::white);
  if (!image_.isNull()) painter.drawImage(0, 0, image_);
}

}  // namespace ombrix::ui
