#include "app/tool/export_session.h"

#include <iostream>

#include "core/number_text.h"
#include "export/current_display_export.h"
#include "viewer/frame_accumulation.h"
#include "viewer/frame_loading.h"
#include "viewer/rmd_opening.h"

namespace ombrix::tool {

namespace {
// The drawing surface plays no part in the exports; any size gives the same cell steps.
constexpr float kSurfaceWidth = 800;
constexpr float kSurfaceHeight = 600;
}  // namespace

core::Status openForExport(const std::string& path, core::AnalysisConditions& conditions) {
  const viewer::RmdOpening opening = viewer::openRmdFile(path, kSurfaceWidth, kSurfaceHeight);
  if (opening.outcome != viewer::OpenOutcome::Opened) return opening.status;
  viewer::applyOpening(opening, conditions);
  return core::Status::success();
}

std::optional<int> wholeNumberOption(const ToolArguments& arguments, const std::string& name) {
  const auto text = arguments.value(name);
  if (!text) return std::nullopt;
  return core::parseWholeNumber(*text);
}

int exportShownMap(const core::AnalysisConditions& conditions) {
  const exports::CurrentDisplayResult result = exports::exportCurrentDisplay(conditions, conditions.areaName);
  if (result.outcome != exports::CurrentDisplayOutcome::Written) return refused(result.status);
  std::cout << result.path.string() << "\n";
  return kExitOk;
}

core::Status showFold(core::AnalysisConditions& conditions, int s, int e, FrameFold fold, std::string_view suffix) {
  std::vector<std::int16_t> field;
  if (core::Status folded = fold(conditions, s, e, field); !folded) return folded;
  conditions.rainGrid = std::move(field);
  conditions.frameLabel.clear();
  viewer::appendFrameLabel(conditions.frameLabel, conditions, s);
  viewer::appendFrameLabel(conditions.frameLabel, conditions, e);
  conditions.frameLabel.append(suffix);
  return core::Status::success();
}

core::Status foldAccumulation(const core::AnalysisConditions& conditions, int s, int e, std::vector<std::int16_t>& result) {
  return viewer::accumulateFrames(conditions, s, e, result);
}

core::Status foldMaximum(const core::AnalysisConditions& conditions, int s, int e, std::vector<std::int16_t>& result) {
  return viewer::maximumOfFrames(conditions, s, e, result);
}

int runRangeExport(const std::string& command, const std::vector<std::string>& words, FrameFold fold,
                   std::string_view suffix) {
  ToolArguments arguments;
  if (!arguments.parse(words, {"--from", "--to"}, {})) return usageError(command, arguments.error());
  if (arguments.positional().size() != 1) return usageError(command, "one RMD file is needed");
  const auto s = wholeNumberOption(arguments, "--from");
  const auto e = wholeNumberOption(arguments, "--to");
  if (!s || !e) return usageError(command, "--from and --to need frame numbers");
  core::AnalysisConditions conditions;
  if (core::Status opened = openForExport(arguments.positional().front(), conditions); !opened) return refused(opened);
  if (core::Status folded = showFold(conditions, *s, *e, fold, suffix); !folded) return refused(folded);
  return exportShownMap(conditions);
}

}  // namespace ombrix::tool
