#include "ui/map_surface.h"

#include <QPaintEvent>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

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

bool MapSurface::event(QEvent* event) {
  if (event->type() != QEvent::ToolTip) return QWidget::event(event);
  auto* help = static_cast<QHelpEvent*>(event);
  const QString text = tipText_ ? tipText_(help->pos()) : QString();
  if (text.isEmpty()) {
    QToolTip::hideText();
    event->ignore();
  } else {
    QToolTip::showText(help->globalPos(), text, this);
  }
  return true;
}

}  // namespace ombrix::ui
