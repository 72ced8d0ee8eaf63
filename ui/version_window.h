#pragma once
// Help: the program's emblem, name and version, and the address of its web page as a link.
#include <QLabel>
#include <QUrl>
#include <QWidget>
#include <functional>

#include "ui/message_sink.h"

class QMouseEvent;

namespace ombrix::ui {

inline constexpr const char* kWebPageAddress = "https://ombrix.example.org/";

// A label that reports a click on it.
class ClickableLabel final : public QLabel {
  Q_OBJECT

 public:
  using QLabel::QLabel;

 signals:
  void clicked();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
};

class VersionWindow final : public QWidget {
  Q_OBJECT

 public:
  VersionWindow(MessageSink& messages, std::function<void(const QUrl&)> urlOpener, QWidget* parent);

  void openWebPage();  // click on Label2: the connection notice, then the page in a browser

 private:
  MessageSink& messages_;
  std::function<void(const QUrl&)> urlOpener_;
};

}  // namespace ombrix::ui
