#include "app/tool/terminal_progress.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <utility>

namespace ombrix::tool {

namespace {

constexpr int kWidestBar = 40;
constexpr int kUnknownColumns = 80;
constexpr double kRedrawSeconds = 0.1;

int terminalColumns() {
  winsize size{};
  if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  return kUnknownColumns;
}

double steadySeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// "0:07", "12:34", "1:02:03"
std::string clockText(double seconds) {
  const auto whole = static_cast<long long>(std::lround(seconds));
  char text[32];
  if (whole >= 3600) {
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60, whole % 60);
  } else {
    std::snprintf(text, sizeof text, "%lld:%02lld", whole / 60, whole % 60);
  }
  return text;
}

// " 12/48 3.0/s 0:12 left"
std::string countsText(std::int64_t done, std::int64_t total, double seconds) {
  std::string text = " ";
  text.append(std::to_string(done)).append("/").append(std::to_string(total));
  if (seconds <= 0 || done <= 0) return text.append(" -/s - left");
  const double rate = static_cast<double>(done) / seconds;
  char rateText[32];
  std::snprintf(rateText, sizeof rateText, rate >= 100 ? " %.0f/s " : " %.1f/s ", rate);
  const double left = static_cast<double>(std::max<std::int64_t>(total - done, 0)) / rate;
  return text.append(rateText).append(clockText(left)).append(" left");
}

}  // namespace

std::string progressLine(std::string_view label, std::int64_t done, std::int64_t total, double seconds, int columns) {
  const std::string counts = countsText(done, total, seconds);
  const int fixed = static_cast<int>(label.size() + counts.size()) + 3;  // " [" and "]"
  const int width = std::clamp(columns - 1 - fixed, 0, kWidestBar);
  const double fraction = total > 0 ? std::clamp(static_cast<double>(done) / static_cast<double>(total), 0.0, 1.0) : 0;
  const int filled = static_cast<int>(fraction * width);
  std::string line(label);
  line.append(" [").append(static_cast<std::size_t>(filled), '#');
  return line.append(static_cast<std::size_t>(width - filled), '.').append("]").append(counts);
}

TerminalProgress::TerminalProgress(std::string label)
    : TerminalProgress(std::move(label), stderr, ::isatty(STDERR_FILENO) == 1, terminalColumns(), steadySeconds) {}

TerminalProgress::TerminalProgress(std::string label, std::FILE* out, bool enabled, int columns, Clock clock)
    : label_(std::move(label)),
      out_(out),
      enabled_(enabled),
      columns_(columns),
      clock_(std::move(clock)),
      start_(enabled_ ? clock_() : 0) {}

TerminalProgress::~TerminalProgress() {
  if (drawn_) std::fputs("\n", out_);
}

void TerminalProgress::update(std::int64_t done, std::int64_t total) {
  if (!enabled_) return;
  const double now = clock_();
  if (drawn_ && now - lastDrawn_ < kRedrawSeconds && done < total) return;
  drawn_ = true;
  lastDrawn_ = now;
  // The line is cleared to its end: a shorter line must not leave the tail of a longer one.
  std::fprintf(out_, "\r%s\033[K", progressLine(label_, done, total, now - start_, columns_).c_str());
  std::fflush(out_);
}

}  // namespace ombrix::tool
