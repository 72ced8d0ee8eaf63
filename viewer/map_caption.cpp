#include "viewer/map_caption.h"

#include <algorithm>
#include <charconv>
#include <chrono>

#include "core/messages.h"

namespace ombrix::viewer {

namespace {

constexpr std::size_t kStampDigits = 12;
constexpr int kJapanOffsetMinutes = 9 * 60;

std::optional<int> number(std::string_view digits) {
  int value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error != std::errc() || end != digits.data() + digits.size() || digits.empty()) return std::nullopt;
  return value;
}

std::optional<core::TimeStamp> stampOf(std::string_view digits) {
  if (digits.size() != kStampDigits) return std::nullopt;
  const auto year = number(digits.substr(0, 4));
  const auto month = number(digits.substr(4, 2));
  const auto day = number(digits.substr(6, 2));
  const auto hour = number(digits.substr(8, 2));
  const auto minute = number(digits.substr(10, 2));
  if (!year || !month || !day || !hour || !minute) return std::nullopt;
  return core::TimeStamp{static_cast<std::int16_t>(*year), static_cast<std::uint8_t>(*month),
                         static_cast<std::uint8_t>(*day), static_cast<std::uint8_t>(*hour),
                         static_cast<std::uint8_t>(*minute)};
}

// The stamp moved by minutes, as "YYYY-MM-DD hh:mm"; the stamp as it is when it is no time of
// the calendar.
std::string shiftedText(const core::TimeStamp& s, int minutes) {
  using namespace std::chrono;
  const year_month_day date{year{s.year}, month{s.month}, day{s.day}};
  if (!date.ok() || s.hour > 23 || s.minute > 59) return core::stampText(s);
  const sys_time<std::chrono::minutes> time =
      sys_days{date} + hours{s.hour} + std::chrono::minutes{s.minute} + std::chrono::minutes{minutes};
  const sys_days day = floor<days>(time);
  const year_month_day shifted{day};
  const hh_mm_ss clock{time - day};
  return core::stampText({static_cast<std::int16_t>(static_cast<int>(shifted.year())),
                          static_cast<std::uint8_t>(static_cast<unsigned>(shifted.month())),
                          static_cast<std::uint8_t>(static_cast<unsigned>(shifted.day())),
                          static_cast<std::uint8_t>(clock.hours().count()),
                          static_cast<std::uint8_t>(clock.minutes().count())});
}

}  // namespace

std::optional<MapCaption> mapCaptionOf(std::string_view label) {
  MapCaption caption;
  const auto first = stampOf(label.substr(0, std::min(label.size(), kStampDigits)));
  if (!first) return std::nullopt;
  caption.first = caption.last = *first;
  if (label.size() == kStampDigits) return caption;
  const auto last = stampOf(label.substr(kStampDigits, kStampDigits));
  if (!last) return std::nullopt;
  caption.last = *last;
  const std::string_view fold = label.substr(2 * kStampDigits);
  if (fold == "-SUM") {
    caption.kind = MapKind::Sum;
  } else if (fold == "-MAX") {
    caption.kind = MapKind::Maximum;
  } else if (fold.starts_with("-MAX") && fold.ends_with("H") && fold.size() > 5) {
    const auto hours = number(fold.substr(4, fold.size() - 5));
    if (!hours || *hours <= 0) return std::nullopt;
    caption.kind = MapKind::DurationMaximum;
    caption.hours = *hours;
  } else {
    return std::nullopt;
  }
  return caption;
}

ClassScale durationClassScale(int hours) noexcept {
  return hours <= kShortDurationHours ? ClassScale::ShortDuration : ClassScale::Accumulation;
}

ClassScale classScaleOf(const MapCaption& caption) noexcept {
  switch (caption.kind) {
    case MapKind::Sum:
      return ClassScale::Accumulation;
    case MapKind::DurationMaximum:
      return durationClassScale(caption.hours);
    default:
      return ClassScale::Intensity;
  }
}

bool showsDepth(const MapCaption& caption) noexcept {
  return caption.kind == MapKind::Sum || caption.kind == MapKind::DurationMaximum;
}

std::string_view unitOf(const MapCaption& caption) noexcept {
  return showsDepth(caption) ? messages::kUnitDepth : messages::kUnitRate;
}

std::string titleOf(const MapCaption& caption) {
  switch (caption.kind) {
    case MapKind::Sum:
      return std::string(messages::kTitleSum);
    case MapKind::Maximum:
      return std::string(messages::kTitleMaximum);
    case MapKind::DurationMaximum:
      return std::string(messages::kTitleDurationPrefix) + std::to_string(caption.hours) +
             std::string(messages::kTitleDurationSuffix);
    default:
      return std::string(messages::kTitleFrame);
  }
}

std::string coveredTime(const MapCaption& caption, Zone zone) {
  const int shift = zone == Zone::Utc ? -kJapanOffsetMinutes : 0;
  const std::string_view name = zone == Zone::Utc ? " UTC" : " JST";
  if (caption.kind == MapKind::Frame) return shiftedText(caption.first, shift).append(name);
  return shiftedText(caption.first, shift - 60) + " – " + shiftedText(caption.last, shift).append(name);
}

}  // namespace ombrix::viewer
