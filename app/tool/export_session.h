#pragma once
// What the export commands share: opening an RMD file as the viewer does, reading frame
// options, and writing the map shown as the current-display CSV.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/tool/tool_command.h"
#include "core/analysis_conditions.h"

namespace ombrix::tool {

// Opens path into conditions as the viewer's file dialog does.
core::Status openForExport(const std::string& path, core::AnalysisConditions& conditions);

// A whole-number option; nothing when it is absent or not a whole number.
std::optional<int> wholeNumberOption(const ToolArguments& arguments, const std::string& name);

// Writes the map shown in conditions as the current-display CSV named after the file's region
// and prints its path; returns the exit status.
int exportShownMap(const core::AnalysisConditions& conditions);

// Folds frames s..e into the map shown (rainGrid), labelled by the two frames' stamps and suffix.
using FrameFold = core::Status (*)(const core::AnalysisConditions& conditions, int s, int e,
                                   std::vector<std::int16_t>& result);
core::Status showFold(core::AnalysisConditions& conditions, int s, int e, FrameFold fold, std::string_view suffix);

// The viewer's accumulation and maximum as folds, with the label suffixes of their exports.
core::Status foldAccumulation(const core::AnalysisConditions& conditions, int s, int e, std::vector<std::int16_t>& result);
core::Status foldMaximum(const core::AnalysisConditions& conditions, int s, int e, std::vector<std::int16_t>& result);
inline constexpr std::string_view kSumSuffix = "-SUM";
inline constexpr std::string_view kMaxSuffix = "-MAX";

// Runs "NAME FILE.RMD --from S --to E": the map folded over frames S..E by fold, labelled by the
// two frames' stamps and suffix, exported as the current-display CSV.
int runRangeExport(const std::string& command, const std::vector<std::string>& words, FrameFold fold,
                   std::string_view suffix);

}  // namespace ombrix::tool
