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

core::Status resolveFrame(const core::AnalysisConditions& conditions, const std::string& text, int& frame) {
  return viewer::resolveFrame(conditions, viewer::parseFrameReference(text).value_or(viewer::FrameReference{-1, {}}),
                              frame);
}

core::Status resolveFrameRange(const core::AnalysisConditions& conditions, const FrameRangeText& range, int& first,
                               int& last) {
  if (core::Status s = resolveFrame(conditions, range.from, first); !s) return s;
  return resolveFrame(conditions, range.to, last);
}

core::Status resolveFrameRangeOrWholeFile(const core::AnalysisConditions& conditions, const FrameRangeText& range,
                                          int& first, int& last) {
  const FrameRangeText whole{range.from.empty() ? "0" : range.from,
                             range.to.empty() ? std::to_string(conditions.openFrameCount() - 1) : range.to};
  return resolveFrameRange(conditions, whole, first, last);
}

}  // namespace ombrix::tool
