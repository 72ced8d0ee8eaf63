#pragma once
// The map a command works on, as the viewer would show it: "--frame K", "--sum S:E" or
// "--max S:E" (or --sum/--max with --from S --to E).
#include <optional>
#include <string>

#include "app/tool/export_session.h"
#include "app/tool/frame_options.h"
#include "app/tool/tool_command.h"
#include "viewer/frame_accumulation.h"

namespace ombrix::tool {

struct MapChoiceOptions {
  std::string frame;
  std::string sum;
  std::string max;
  FrameRangeText range;
};

// Adds --frame, --sum and --max (one of them) and --from and --to.
void addMapChoiceOptions(CLI::App& command, MapChoiceOptions& options);

// The frames the options name, as written; problem is left as it was, or becomes the usage error.
FrameRangeText framesAsked(const CLI::App& command, const MapChoiceOptions& options, core::Status& problem);

// The fold the options ask for; nothing for a single frame.
std::optional<viewer::RangeFold> foldAsked(const CLI::App& command);

// Puts the chosen map of the session's file into its cells and label, as the viewer's commands
// do, with a progress bar for a fold.
core::Status showChosenMap(const CLI::App& command, const FrameRangeText& frames, ExportSession& session);

}  // namespace ombrix::tool
