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
    std::optional<QString> answer = answers.front();
    answers.pop_front();
    return answer;
  }

  QStringList shown;
  QStringList prompts;
  std::deque<std::optional<QString>> answers;  // nothing = the user cancels
};

}  // namespace ombrix::ui::test
