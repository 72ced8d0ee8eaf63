#include "ui/version_window.h"

#include <QMouseEvent>

#include "core/messages.h"
#include "ui/app_look.h"
#include "ui/control_factory.h"

namespace ombrix::ui {

void ClickableLabel::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit clicked();
  QLabel::mouseReleaseEvent(event);
}

VersionWindow::VersionWindow(MessageSink& messages, std::function<void(const QUrl&)> urlOpener, QWidget* parent)
    : QWidget(parent, Qt::Window), messages_(messages), urlOpener_(std::move(urlOpener)) {
  prepareWindow(*this, QStringLiteral("Help"), QStringLiteral("Help"), 524, 131);
  QLabel* emblem = addLabel(this, QStringLiteral("Picture1"), QString(), {24, 8, 33, 33});
  emblem->setPixmap(emblemPixmap());
  emblem->setAlignment(Qt::AlignCenter);
  QLabel* title = addLabel(this, QStringLiteral("Label1"), QStringLiteral("Ombrix ver.2.0"), {72, 16, 497, 25});
  title->setFont(captionFont());
  QPalette palette = title->palette();
  palette.setColor(QPalette::WindowText, kCaptionBlue);
  title->setPalette(palette);
  QPushButton* ok = addButton(this, QStringLiteral("Command1"), QStringLiteral("OK"), {216, 80, 49, 25});
  connect(ok, &QPushButton::clicked, this, &QWidget::hide);
  auto* address = new ClickableLabel(QString::fromUtf8(kWebPageAddress), this);
  address->setObjectName(QStringLiteral("Label2"));
  address->setFont(explicitFont(kArialFamily, 9.75, false, true));
  address->setGeometry(112, 48, 289, 25);
  address->setCursor(Qt::PointingHandCursor);
  connect(address, &ClickableLabel::clicked, this, &VersionWindow::openWebPage);
}

void VersionWindow::openWebPage() {
  messages_.show(messages::kInternetNeeded);
  urlOpener_(QUrl(QString::fromUtf8(kWebPageAddress)));
}

}  // namespace ombrix::ui
