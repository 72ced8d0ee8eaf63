#include "app/tool/frame_options.h"

#include "viewer/frame_reference.h"

namespace ombrix::tool {

namespace {

constexpr const char* kFrameForm = "a frame number from 0 or a time YYYY-MM-DDThh:mm";

CLI::Validator frameValidator() {
  return CLI::Validator(
      [](std::string& text) {
        return viewer::parseFrameReference(text) ? std::string() : std::string("a frame is ") + kFrameForm;
      },
      "", "frame");
}

}  // namespace

CLI::Option* addFrameOption(CLI::App& command, const std::string& name, std::string& text,
                            const std::string& description) {
  return command.add_option(name, text, description + " (" + kFrameForm + ")")
      ->type_name("FRAME")
      ->check(frameValidator());
}

void addFrameRangeOptions(CLI::App& command, FrameRangeText& range) {
  addFrameOption(command, "--from", range.from, "first frame of the range");
  addFrameOption(command, "--to", range.to, "last frame of the range");
}

CLI::Option* addFrameRangeOption(CLI::App& command, const std::string& name, std::string& text,
                                 const std::string& description) {
  const CLI::Validator range(
      [](std::string& value) {
        return value.empty() || viewer::splitFrameRange(value)
                   ? std::string()
                   : std::string("a range is written S:E, each end ") + kFrameForm;
      },
      "", "range");
  return command.add_option(name, text, description + " (S:E, or --from S --to E)")
      ->expected(0, 1)
      ->type_name("[S:E]")
      ->check(range);
}

std::optional<FrameRangeText> splitFrameRange(const std::string& text) {
  const auto ends = viewer::splitFrameRange(text);
  if (!ends) return std::nullopt;
  return FrameRangeText{std::string(ends->first), std::string(ends->second)};
}

FrameRangeText wholeFileByDefault(FrameRangeText range, int frameCount) {
  if (range.from.empty()) range.from = "0";
  if (range.to.empty()) range.to = std::to_string(frameCount - 1);
  return range;
}

core::Status resolveFrame(std::span<const core::FrameIndexEntry> frames, const std::string& text, int& frame) {
  return viewer::resolveFrame(frames, viewer::parseFrameReference(text).value_or(viewer::FrameReference{-1, {}}),
                              frame);
}

core::Status resolveFrameRange(std::span<const core::FrameIndexEntry> frames, const FrameRangeText& range, int& first,
                               int& last) {
  if (core::Status s = resolveFrame(frames, range.from, first); !s) return s;
  return resolveFrame(frames, range.to, last);
}

}  // namespace ombrix::tool
