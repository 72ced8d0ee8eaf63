#pragma once
// How long a duration may be. A window of H hours over frames of framesPerHour to the hour adds
// H hourly depths: it spans (H - 1) x framesPerHour + 1 frames.
#include <cstdint>

namespace ombrix::gis {

inline constexpr int kMinDurationHours = 1;
inline constexpr int kMaxDurationHours = 32767;

constexpr bool durationHoursValid(std::int64_t hours) noexcept {
  return hours >= kMinDurationHours && hours <= kMaxDurationHours;
}

// Whether a window of hours fits frameCount frames.
constexpr bool durationFits(std::int64_t frameCount, int framesPerHour, int hours) noexcept {
  return (std::int64_t{hours} - 1) * framesPerHour + 1 <= frameCount;
}

}  // namespace ombrix::gis
