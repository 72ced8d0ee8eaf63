#include "ui/message_sink.h"

#include <QInputDialog>
#include <QMessageBox>

#include "core/messages.h"

namespace ombrix::ui {

namespace {
QString appTitle() { return QString::fromUtf8(messages::kAppTitle.data(), static_cast<int>(messages::kAppTitle.size())); }
}  // namespace

void MessageBoxSink::show(const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, appTitle(), text, QMessageBox::Ok, parent_);
  box.exec();
}

std::optional<QString> MessageBoxSink::askText(const QString& prompt) {
  bool accepted = false;
  const QString answer = QInputDialog::getText(parent_, appTitle(), prompt, QLineEdit::Normal, QString(), &accepted);
  if (!accepted) return std::nullopt;
  return answer;
}

}  // namespace ombrix::ui
