#include "viewer/frame_reference.h"

#include <charconv>
#include <chrono>
#include <string>
#include <vector>

#include "core/number_text.h"

namespace ombrix::viewer {

namespace {

// The digits of text[at .. at + count) as a number from low to high.
std::optional<int> field(std::string_view text, std::size_t at, std::size_t count, int low, int high) {
  int value = 0;
  const char* first = text.data() + at;
  const auto [end, error] = std::from_chars(first, first + count, value);
  if (error != std::errc() || end != first + count || *first == '-' || value < low || value > high) return std::nullopt;
  return value;
}

std::optional<core::TimeStamp> parseTime(std::string_view text) {
  const bool dateTimeSeparator = text.size() == 16 && (text[10] == 'T' || text[10] == ' ');
  if (!dateTimeSeparator || text[4] != '-' || text[7] != '-' || text[13] != ':') return std::nullopt;
  const auto year = field(text, 0, 4, 0, 9999);
  const auto month = field(text, 5, 2, 1, 12);
  const auto day = field(text, 8, 2, 1, 31);
  const auto hour = field(text, 11, 2, 0, 24);
  const auto minute = field(text, 14, 2, 0, 59);
  if (!year || !month || !day || !hour || !minute) return std::nullopt;
  // A real date; 24:00 is the day's end, as stamps may write it.
  const std::chrono::year_month_day date{std::chrono::year{*year}, std::chrono::month{static_cast<unsigned>(*month)},
                                         std::chrono::day{static_cast<unsigned>(*day)}};
  if (!date.ok() || (*hour == 24 && *minute != 0)) return std::nullopt;
  return core::TimeStamp{static_cast<std::int16_t>(*year), static_cast<std::uint8_t>(*month),
                         static_cast<std::uint8_t>(*day), static_cast<std::uint8_t>(*hour),
                         static_cast<std::uint8_t>(*minute)};
}

}  // namespace

std::optional<FrameReference> parseFrameReference(std::string_view text) {
  if (const auto number = core::parseWholeNumber(text)) return FrameReference{*number, {}};
  if (const auto time = parseTime(text)) return FrameReference{std::nullopt, *time};
  return std::nullopt;
}

std::optional<std::pair<std::string_view, std::string_view>> splitFrameRange(std::string_view text) {
  for (std::size_t colon = text.find(':'); colon != std::string_view::npos; colon = text.find(':', colon + 1)) {
    const std::string_view first = text.substr(0, colon);
    const std::string_view last = text.substr(colon + 1);
    if (parseFrameReference(first) && parseFrameReference(last)) return std::pair{first, last};
  }
  return std::nullopt;
}

core::Status resolveFrame(std::span<const core::FrameIndexEntry> index, const FrameReference& reference, int& frame) {
  const int frames = static_cast<int>(index.size());
  if (reference.number) {
    if (*reference.number >= 0 && *reference.number < frames) {
      frame = *reference.number;
      return {};
    }
    return {core::Problem::FrameNumberNotInFile, {}, {.frameCount = frames}};
  }
  for (int i = 0; i < frames; ++i) {
    if (index[static_cast<std::size_t>(i)].stamp == reference.time) {
      frame = i;
      return {};
    }
  }
  core::Details times{.timeAsked = core::stampText(reference.time, 'T')};
  if (frames > 0) {
    times.firstTime = core::stampText(index.front().stamp, 'T');
    times.lastTime = core::stampText(index.back().stamp, 'T');
  }
  return {core::Problem::NoFrameAtTime, {}, std::move(times)};
}

core::Status resolveFrame(const core::RmdDataset& file, const FrameReference& reference, int& frame) {
  if (!file.isOpen()) return {core::Problem::NoFileOpen};
  return resolveFrame(file.frames(), reference, frame);
}

}  // namespace ombrix::viewer
