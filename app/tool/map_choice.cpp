#include "app/tool/map_choice.h"

#include <vector>

#include "app/tool/terminal_progress.h"
#include "viewer/frame_loading.h"

namespace ombrix::tool {

void addMapChoiceOptions(CLI::App& command, MapChoiceOptions& options) {
  CLI::Option* frame = addFrameOption(command, "--frame", options.frame, "one frame");
  CLI::Option* sum = addFrameRangeOption(command, "--sum", options.sum, "the rainfall accumulated over a range");
  CLI::Option* max = addFrameRangeOption(command, "--max", options.max, "the maximum rain rate over a range");
  frame->excludes(sum)->excludes(max);
  sum->excludes(max);
  addFrameRangeOptions(command, options.range);
}

FrameRangeText framesAsked(const CLI::App& command, const MapChoiceOptions& options, core::Status& problem) {
  const bool frame = command.count("--frame") > 0;
  const bool fold = command.count("--sum") + command.count("--max") > 0;
  const bool range = command.count("--from") + command.count("--to") > 0;
  if (!frame && !fold) {  // CLI11 refuses more than one
    problem = usageProblem("one of --frame, --sum and --max is needed");
    return {};
  }
  if (frame) {
    if (range) problem = usageProblem("--from and --to go with --sum and --max");
    return {options.frame, options.frame};
  }
  const std::string& written = command.count("--sum") ? options.sum : options.max;
  if (const auto ends = splitFrameRange(written)) {
    if (range) problem = usageProblem("the range is given either as S:E or by --from and --to");
    return *ends;
  }
  if (command.count("--from") == 0 || command.count("--to") == 0) {
    problem = usageProblem("the range needs S:E or --from and --to");
  }
  return options.range;
}

std::optional<viewer::RangeFold> foldAsked(const CLI::App& command) {
  if (command.count("--sum")) return viewer::RangeFold::Sum;
  if (command.count("--max")) return viewer::RangeFold::Maximum;
  return std::nullopt;
}

core::Status showChosenMap(const CLI::App& command, const FrameRangeText& frames, ExportSession& session) {
  core::RmdDataset& file = session.file;
  int first = 0;
  int last = 0;
  if (core::Status s = resolveFrameRange(file.frames(), frames, first, last); !s) return s;
  const std::optional<viewer::RangeFold> fold = foldAsked(command);
  if (!fold) {
    std::vector<std::int16_t> frameGrid;
    return viewer::showFrame(file, first, frameGrid, session.cells, session.label);
  }
  TerminalProgress progress(fold == viewer::RangeFold::Sum ? "sum" : "max");
  viewer::FoldCallbacks callbacks;
  callbacks.steps.progress = [&](std::int64_t position, std::int64_t count) { progress.update(position + 1, count); };
  return viewer::foldLabelled(*fold, file, first, last, session.cells, session.label, callbacks);
}

}  // namespace ombrix::tool
