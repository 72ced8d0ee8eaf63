#pragma once
// A long command of the batch tool: its operation's progress goes to a TerminalProgress, and
// Ctrl-C asks the operation to stop. While the run lasts, SIGINT only sets a flag that the
// operation's cancelled() reads; the operation then abandons its output and returns
// Problem::Cancelled, which the command reports with exit status kExitInterrupted. A second
// Ctrl-C ends the program at once (what it was writing is unnamed and goes with it).
#include <signal.h>

#include <string>
#include <utility>

#include "app/tool/terminal_progress.h"
#include "core/operation_callbacks.h"

namespace ombrix::tool {

class LongRun {
 public:
  explicit LongRun(std::string label);
  ~LongRun();  // SIGINT is handled as before again
  LongRun(const LongRun&) = delete;
  LongRun& operator=(const LongRun&) = delete;

  const core::OperationCallbacks& callbacks() const noexcept { return callbacks_; }

 private:
  TerminalProgress bar_;
  core::OperationCallbacks callbacks_;
  struct sigaction previous_ {};
};

// Runs operation(callbacks) as a long run labelled label and returns what it returns; the bar's
// line is ended before the caller reports anything.
template <typename Operation>
auto runLong(std::string label, Operation&& operation) {
  LongRun run(std::move(label));
  return std::forward<Operation>(operation)(run.callbacks());
}

}  // namespace ombrix::tool
