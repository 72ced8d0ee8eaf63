#pragma once
// What a map shows, read back from its label (the name of its current-display CSV): one frame,
// the sum or the maximum of a range of frames, or a range's largest H-hour depths; with the
// title, unit, colour classes and times that a legend and a GIS file's metadata state.
#include <optional>
#include <string>
#include <string_view>

#include "core/time_stamp.h"
#include "viewer/intensity_classes.h"

namespace ombrix::viewer {

enum class MapKind { Frame, Sum, Maximum, DurationMaximum };

struct MapCaption {
  MapKind kind = MapKind::Frame;
  core::TimeStamp first;  // the stamps of the first and last frames (the same for one frame)
  core::TimeStamp last;
  int hours = 0;  // of a duration map
};

// The caption of a label "<stamp>", "<stamp><stamp>-SUM", "-MAX" or "-MAX<H>H" (stamps as
// YYYYMMDDhhmm); nothing for any other label.
std::optional<MapCaption> mapCaptionOf(std::string_view label);

// The longest duration drawn with the rain-rate thresholds read in mm; longer durations take
// the accumulation classes.
inline constexpr int kShortDurationHours = 6;

// The classes of a map of the largest H-hour depths.
ClassScale durationClassScale(int hours) noexcept;
ClassScale classScaleOf(const MapCaption& caption) noexcept;
// Whether the values are depths in mm (sums, duration maps), not rates in mm/h.
bool showsDepth(const MapCaption& caption) noexcept;
std::string_view unitOf(const MapCaption& caption) noexcept;
// "1時間雨量", "累積雨量", "最大1時間雨量", "最大<H>時間雨量".
std::string titleOf(const MapCaption& caption);

// The time the map covers, read from stamps in Japan Standard Time: the hour ending at the
// frame's time, or from the start of the first frame's hour to the last frame's time; as
// "YYYY-MM-DD hh:mm JST" / "... – ... JST", or the same instants in UTC.
enum class Zone { Jst, Utc };
std::string coveredTime(const MapCaption& caption, Zone zone);

}  // namespace ombrix::viewer
