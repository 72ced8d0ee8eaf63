#pragma once
// A MessageSink that records every text shown and answers questions from a queue, so a test
// can check which messages appeared, in which order, without blocking.
#include <QString>
#include <QStringList>
#include <deque>
#include <optional>

#include "ui/message_sink.h"

namespace ombrix::ui::test {

class RecordingMessageSink final : public MessageSink {
 public:
  using MessageSink::show;
  void show(const QString& text) override { shown.append(text); }
  std::optional<QString> askText(const QString& prompt) override {
    prompts.append(prompt);
    if (answers.empty()) return std::nullopt;
    // Copied out as a plain string: GCC 12 misreads a copied std::optional<QString> as
    // uninitialised (-Wmaybe-uninitialized).
    const bool cancelled = !answers.front().has_value();
    const QString text = answers.front().value_or(QString());
    answers.pop_front();
    if (cancelled) return std::nullopt;
    return text;
  }

  QStringList shown;
  QStringList prompts;
  std::deque<std::optional<QString>> answers;  // nothing = the user cancels
};

}  // namespace ombrix::ui::test
