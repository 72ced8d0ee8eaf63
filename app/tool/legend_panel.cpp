#include "app/tool/legend_panel.h"

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QString>
#include <memory>

namespace ombrix::tool {

namespace {

constexpr int kMargin = 14;
constexpr int kSwatchWidth = 28;
constexpr int kSwatchHeight = 16;
constexpr int kRowStep = 22;

// QtGui draws text only inside an application; one without a display is made on first use.
// Qt's own notes about the environment (a missing runtime folder and the like) are not the
// program's messages: standard error keeps only those.
void ensureApplication() {
  if (QGuiApplication::instance() != nullptr) return;
  qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
  static int argc = 3;
  static char name[] = "ombrix-tool";
  static char platformOption[] = "-platform";
  static char platform[] = "offscreen";
  static char* argv[] = {name, platformOption, platform, nullptr};
  static const auto application = std::make_unique<QGuiApplication>(argc, argv);
}

QFont legendFont(double points, bool bold = false) {
  QFont font(QStringLiteral("IPAPGothic"));
  font.setPointSizeF(points);
  font.setBold(bold);
  return font;
}

QColor qtColour(viewer::Colour c) { return QColor(c.red, c.green, c.blue); }

QString text(const std::string& s) { return QString::fromStdString(s); }

// A range's two ends on lines of their own.
QString rangeText(const std::string& s) {
  return text(s).replace(QStringLiteral(" – "), QStringLiteral(" –\n"));
}

// The scale bar: a black bar with end ticks over its length in km.
void drawScaleBar(QPainter& painter, int x, int y, const viewer::ScaleBar& bar) {
  if (bar.pixels <= 0) return;
  painter.setFont(legendFont(9));
  painter.drawText(x, y - 6, QString::number(bar.kilometres) + QStringLiteral(" km"));
  painter.fillRect(x, y, bar.pixels, 5, Qt::black);
  painter.drawLine(x, y - 4, x, y + 8);
  painter.drawLine(x + bar.pixels, y - 4, x + bar.pixels, y + 8);
}

// Text wrapped at spaces within the panel, its top at y; returns the y below it.
int drawWrapped(QPainter& painter, int x, int y, const QString& words) {
  const QRect box(x, y, kLegendPanelWidth - 2 * kMargin, 200);
  QRect used;
  painter.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, words, &used);
  return used.bottom() + 1;
}

}  // namespace

viewer::RgbImage withLegendPanel(const viewer::RgbImage& map, const viewer::MapLegend& legend) {
  ensureApplication();
  const int width = map.width() + kLegendPanelWidth;
  QImage picture(width, map.height(), QImage::Format_RGB32);
  picture.fill(Qt::white);
  for (int y = 0; y < map.height(); ++y) {
    std::copy_n(map.pixels().data() + static_cast<std::size_t>(y) * map.width(), map.width(),
                reinterpret_cast<std::uint32_t*>(picture.scanLine(y)));
  }
  {
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setPen(Qt::black);
    painter.drawLine(map.width(), 0, map.width(), map.height());
    const int x = map.width() + kMargin;
    int y = kMargin + 14;
    painter.setFont(legendFont(13, true));
    painter.drawText(x, y, text(legend.title));
    painter.setFont(legendFont(9));
    y = drawWrapped(painter, x, y + 8, rangeText(legend.timeJst));
    y = drawWrapped(painter, x, y + 2, QStringLiteral("(") + rangeText(legend.timeUtc) + QStringLiteral(")"));
    painter.drawText(x, y += 26, text(legend.unit));
    y += 10;
    painter.setFont(legendFont(10));
    for (const viewer::LegendRow& row : legend.rows) {
      painter.fillRect(x, y, kSwatchWidth, kSwatchHeight, qtColour(row.swatch));
      painter.drawRect(x, y, kSwatchWidth, kSwatchHeight);
      painter.drawText(x + kSwatchWidth + 10, y + kSwatchHeight - 3, text(row.label));
      y += kRowStep;
    }
    drawScaleBar(painter, x, y + 30, legend.scaleBar);
    painter.setFont(legendFont(10));
    painter.drawText(x, map.height() - kMargin, text(legend.credit));
  }
  viewer::RgbImage result(width, map.height());
  const viewer::SurfaceView out = result.view();
  for (int y = 0; y < map.height(); ++y) {
    std::copy_n(reinterpret_cast<const std::uint32_t*>(picture.constScanLine(y)), width, out.row(y));
  }
  return result;
}

}  // namespace ombrix::tool
