// The batch tool's progress bar: its line for a count, an elapsed time and a terminal width, and
// when it is redrawn, timed by a fake clock.
#include "app/tool/terminal_progress.h"

#include <gtest/gtest.h>

namespace ombrix::tool {
namespace {

TEST(ProgressLine, ShowsCountRateAndTimeLeftAndFitsTheBarToTheWidth) {
  // done, total, seconds, columns, the line
  const std::tuple<std::int64_t, std::int64_t, double, int, std::string> cases[] = {
      {0, 48, 0, 80, "areal [........................................] 0/48 -/s - left"},  // no time yet
      {12, 48, 4, 80, "areal [##########..............................] 12/48 3.0/s 0:12 left"},
      {250, 1000000, 2, 51, "areal [...........] 250/1000000 125/s 2:13:18 left"},  // whole rates, hours
      {3, 4, 1, 10, "areal [] 3/4 3.0/s 0:00 left"},                                 // no room for a bar
      {9, 4, 3, 32, "areal [###] 9/4 3.0/s 0:00 left"},                              // past the total: full
  };
  for (const auto& [done, total, seconds, columns, line] : cases) {
    EXPECT_EQ(progressLine("areal", done, total, seconds, columns), line);
  }
}

// Steps 1 to 4 at 0, 1/16, 1/8 and 5/32 s: the second is too soon after the first, the last is
// always drawn; a bar that is not on a terminal writes nothing.
TEST(TerminalProgress, RedrawsAtMostTenTimesASecondAndAlwaysTheLastStep) {
  for (const bool enabled : {true, false}) {
    char* text = nullptr;
    std::size_t size = 0;
    std::FILE* out = open_memstream(&text, &size);
    double now = 100;
    {
      TerminalProgress bar("x", out, enabled, 32, [&now] { return now; });
      for (const auto& [step, done] : {std::pair{0.0, 1}, {0.0625, 2}, {0.0625, 3}, {0.03125, 4}}) {
        now += step;
        bar.update(done, 4);
      }
    }
    std::fclose(out);
    EXPECT_EQ(std::string(text, size), enabled ? "\rx [###.........] 1/4 -/s - left\033[K"
                                                 "\rx [####..] 3/4 24.0/s 0:00 left\033[K"
                                                 "\rx [######] 4/4 25.6/s 0:00 left\033[K\n"
                                               : "");
    std::free(text);
  }
}

}  // namespace
}  // namespace ombrix::tool
