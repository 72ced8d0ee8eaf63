#pragma once
// How every command names frames: "--frame K", "--from S --to E" and "S:E", where each frame is
// its number from 0 or its stored, local time "YYYY-MM-DDThh:mm".
#include <optional>
#include <span>
#include <string>

#include "app/tool/tool_command.h"
#include "core/rmd_file.h"

namespace ombrix::tool {

// Adds an option taking one frame into text.
CLI::Option* addFrameOption(CLI::App& command, const std::string& name, std::string& text,
                            const std::string& description);

// The first and last frame of a range, as written.
struct FrameRangeText {
  std::string from;
  std::string to;
};

// Adds --from and --to.
void addFrameRangeOptions(CLI::App& command, FrameRangeText& range);

// Adds an option that takes a range "S:E" into text, or no value (then --from and --to give the
// range).
CLI::Option* addFrameRangeOption(CLI::App& command, const std::string& name, std::string& text,
                                 const std::string& description);
// text of such an option as the two ends of its range; nothing when the option had no value.
std::optional<FrameRangeText> splitFrameRange(const std::string& text);

// range with an end not written taken as frame 0 or the last of frameCount frames.
FrameRangeText wholeFileByDefault(FrameRangeText range, int frameCount);

// The number of the frame text names among the frames of a file.
core::Status resolveFrame(std::span<const core::FrameIndexEntry> frames, const std::string& text, int& frame);
// The numbers of both ends of a range.
core::Status resolveFrameRange(std::span<const core::FrameIndexEntry> frames, const FrameRangeText& range,
                               int& first, int& last);

}  // namespace ombrix::tool
