// The batch tool's progress bar: its line for a count, an elapsed time and a terminal width, and
// when it is redrawn, timed by a fake clock.
#include "app/tool/terminal_progress.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace ombrix::tool {
namespace {

TEST(ProgressLine, ShowsCountRateAndTimeLeftAndFitsTheBarToTheWidth) {
  struct Case {
    std::int64_t done, total;
    double seconds;
    int columns;
    std::string line;
  };
  const Case cases[] = {
      // No time measured yet: no rate, no time left.
      {0, 48, 0, 80, "areal [........................................] 0/48 -/s - left"},
      {12, 48, 4, 80, "areal [##########..............................] 12/48 3.0/s 0:12 left"},
      // Above 100 steps a second the rate is whole; hours show as h:mm:ss.
      {250, 1000000, 2, 51, "areal [...........] 250/1000000 125/s 2:13:18 left"},
      {48, 48, 16, 30, "areal [] 48/48 3.0/s 0:00 left"},
      // A narrow terminal: no room for a bar; a count past the total fills it.
      {3, 4, 1, 10, "areal [] 3/4 3.0/s 0:00 left"},
      {9, 4, 3, 32, "areal [###] 9/4 3.0/s 0:00 left"},
  };
  for (const Case& c : cases) EXPECT_EQ(progressLine("areal", c.done, c.total, c.seconds, c.columns), c.line);
}

// What a bar writes, with the time set by the test before each update.
struct DrawnBar {
  char* text = nullptr;
  std::size_t size = 0;
  std::FILE* out = open_memstream(&text, &size);
  double now = 100;

  std::string drawn(bool enabled, const std::function<void(TerminalProgress&)>& updates) {
    {
      TerminalProgress bar("x", out, enabled, 32, [this] { return now; });
      updates(bar);
    }
    std::fflush(out);
    return std::string(text, size);
  }
  ~DrawnBar() {
    std::fclose(out);
    std::free(text);
  }
};

TEST(TerminalProgress, RedrawsAtMostTenTimesASecondAndAlwaysTheLastStep) {
  DrawnBar bar;
  const std::string text = bar.drawn(true, [&](TerminalProgress& p) {
    p.update(1, 4);  // drawn: the first
    bar.now += 0.0625;
    p.update(2, 4);  // too soon
    bar.now += 0.0625;
    p.update(3, 4);  // 0.125 s after the first
    bar.now += 0.03125;
    p.update(4, 4);  // the last
  });
  EXPECT_EQ(text,
            "\rx [###.........] 1/4 -/s - left\033[K"
            "\rx [####..] 3/4 24.0/s 0:00 left\033[K"
            "\rx [######] 4/4 25.6/s 0:00 left\033[K\n");
}

TEST(TerminalProgress, DrawsNothingWhenNotATerminal) {
  DrawnBar bar;
  EXPECT_EQ(bar.drawn(false, [](TerminalProgress& p) { p.update(1, 1); }), "");
}

}  // namespace
}  // namespace ombrix::tool
