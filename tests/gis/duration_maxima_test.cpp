#include "gis/duration_maxima.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace ombrix::gis {
namespace {

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

struct WindowCase {
  const char* name;
  std::vector<double> values;
  int framesPerHour;
  int hours;
  std::optional<DurationMaximum> expected;
};

TEST(DurationMaximum, WindowsStepByTheHourAndSkipFramesWithoutData) {
  const std::vector<double> hourly{1, 2, kNone, 4, 5, 1};
  // Half-hourly: a 2-hour window ending at k adds frames k and k - 2 only.
  const std::vector<double> halfHourly{1, 2, 3, kNone, 5, 1, 2, 2};
  const std::vector<WindowCase> cases{
      {"hourly, 1 h", hourly, 1, 1, DurationMaximum{5, 4}},
      {"hourly, 2 h past the gap", hourly, 1, 2, DurationMaximum{9, 4}},
      {"hourly, 3 h: only the last window is whole", hourly, 1, 3, DurationMaximum{10, 5}},
      {"hourly, longer than the file", hourly, 1, 7, std::nullopt},
      {"half-hourly, 1 h is one frame", halfHourly, 2, 1, DurationMaximum{5, 4}},
      {"half-hourly, 2 h", halfHourly, 2, 2, DurationMaximum{8, 4}},
      {"half-hourly, 3 h", halfHourly, 2, 3, DurationMaximum{10, 6}},
      {"ties keep the first window", {3, 1, 3}, 1, 1, DurationMaximum{3, 0}},
      {"no frame with data", {kNone, kNone}, 1, 1, std::nullopt},
  };
  for (const WindowCase& c : cases) {
    SCOPED_TRACE(c.name);
    const auto actual = durationMaximum(c.values, c.framesPerHour, c.hours);
    ASSERT_EQ(actual.has_value(), c.expected.has_value());
    if (!actual) continue;
    EXPECT_DOUBLE_EQ(actual->depth, c.expected->depth);
    EXPECT_EQ(actual->endFrame, c.expected->endFrame);
  }
}

// The running sums per cell give what the plain windows give for every cell.
TEST(CellDurationMaxima, EqualThePlainWindowsOfEveryCell) {
  std::mt19937 random(7);
  constexpr std::size_t kCells = 30;
  constexpr int kFrames = 40;
  std::vector<std::vector<std::int16_t>> frames(kFrames, std::vector<std::int16_t>(kCells));
  for (auto& frame : frames) {
    for (auto& value : frame) value = static_cast<std::int16_t>(static_cast<int>(random() % 60) - 3);
  }
  frames[9].assign(kCells, -1);  // a frame missing from the file
  const FrameReader read = [&](int k, std::vector<std::int16_t>& cells) {
    cells = frames[static_cast<std::size_t>(k)];
    return core::Status::success();
  };
  for (const auto& [perHour, hours] : {std::pair{1, 1}, {1, 3}, {2, 1}, {2, 4}, {2, 30}}) {
    std::vector<std::int16_t> depths;
    ASSERT_TRUE(cellDurationMaxima(kCells, kFrames, perHour, hours, read, depths));
    for (std::size_t c = 0; c < kCells; ++c) {
      std::vector<double> series;
      for (const auto& frame : frames) series.push_back(frame[c] >= 0 ? frame[c] : kNone);
      const auto plain = durationMaximum(series, perHour, hours);
      EXPECT_EQ(depths[c], plain ? static_cast<std::int16_t>(plain->depth) : -1)
          << perHour << " frames/h, " << hours << " h, cell " << c;
    }
  }
}

}  // namespace
}  // namespace ombrix::gis
