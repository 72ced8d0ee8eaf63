#pragma once
// How every command names frames: "--frame K", "--from S --to E" and "S:E", where each frame is
// its number from 0 or its stored, local time "YYYY-MM-DDThh:mm".
#include <optional>
#include <string>

#include "app/tool/tool_command.h"
#include "core/analysis_conditions.h"

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

// The number of the frame text names in the open file.
core::Status resolveFrame(const core::AnalysisConditions& conditions, const std::string& text, int& frame);
// The numbers of both ends of a range.
core::Status resolveFrameRange(const core::AnalysisConditions& conditions, const FrameRangeText& range, int& first,
                               int& last);
// The same, an end left empty standing for the file's first or last frame.
core::Status resolveFrameRangeOrWholeFile(const core::AnalysisConditions& conditions, const FrameRangeText& range,
                                          int& first, int& last);

}  // namespace ombrix::tool
