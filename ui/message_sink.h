#pragma once
// How windows tell the user something: a text with an OK button, or a question for one line of
// input. The application uses message boxes; tests record what was shown.
#include <QString>
#include <QWidget>
#include <filesystem>
#include <optional>
#include <string_view>

#include "core/problem.h"

namespace ombrix::ui {

class MessageSink {
 public:
  virtual ~MessageSink() = default;
  // Shows text with an OK button and returns when the user has closed it.
  virtual void show(const QString& text) = 0;
  // Asks for one line of input; nothing when the user cancels.
  virtual std::optional<QString> askText(const QString& prompt) = 0;

  void show(std::string_view text) { show(QString::fromUtf8(text.data(), static_cast<int>(text.size()))); }
  // Shows the message of what went wrong; nothing on success or for a silent problem.
  void report(const core::Status& status) {
    if (!core::silent(status.problem)) show(core::message(status));
  }
  // The same, with the notice of what was done on success.
  void report(const core::Status& status, core::Notice done, const std::filesystem::path& subject = {}) {
    if (status) show(core::message(done, subject));
    report(status);
  }
};

// Message boxes titled with the application title, each with an OK button only.
class MessageBoxSink final : public MessageSink {
 public:
  explicit MessageBoxSink(QWidget* parent) : parent_(parent) {}
  using MessageSink::show;
  void show(const QString& text) override;
  std::optional<QString> askText(const QString& prompt) override;

 private:
  QWidget* parent_;
};

}  // namespace ombrix::ui
