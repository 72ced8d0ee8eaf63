#pragma once
// The batch tool's progress bar: steps done of the total, the rate and the time left, redrawn on
// one line of standard error when standard error is a terminal, and nothing when it is not, so
// that scripts and logs stay clean.
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

namespace ombrix::tool {

// The bar's line for done of total steps after seconds, at most columns wide where the bar can
// shrink to fit: "label [#####.....] 12/48 3.0/s 0:12 left". The rate and the time left are
// "-" until a step has taken measurable time.
std::string progressLine(std::string_view label, std::int64_t done, std::int64_t total, double seconds, int columns);

class TerminalProgress {
 public:
  using Clock = std::function<double()>;  // seconds, from any fixed point

  // On standard error, drawn when it is a terminal, as wide as the terminal.
  explicit TerminalProgress(std::string label);
  // On out, drawn when enabled, columns wide, timed by clock.
  TerminalProgress(std::string label, std::FILE* out, bool enabled, int columns, Clock clock);
  ~TerminalProgress();  // ends the bar's line, if one was drawn
  TerminalProgress(const TerminalProgress&) = delete;
  TerminalProgress& operator=(const TerminalProgress&) = delete;

  // Redraws at most ten times a second, and always for the last step.
  void update(std::int64_t done, std::int64_t total);

 private:
  std::string label_;
  std::FILE* out_;
  bool enabled_;
  int columns_;
  Clock clock_;
  double start_;
  bool drawn_ = false;
  double lastDrawn_ = 0;
};

}  // namespace ombrix::tool
