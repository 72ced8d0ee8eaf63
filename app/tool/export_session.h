#pragma once
// What the export commands share: opening an RMD file as the viewer does and writing the map
// shown as the current-display CSV. Commands that only read frames open a core::RmdDataset.
#include <string>

#include "app/tool/tool_command.h"
#include "core/analysis_conditions.h"
#include "viewer/frame_accumulation.h"
#include "viewer/rmd_opening.h"

namespace ombrix::tool {

// Opens path into conditions as the viewer's file dialog does, without a drawing surface.
core::Status openForExport(const std::string& path, core::AnalysisConditions& conditions);

// Writes the map shown in conditions as the current-display CSV named after the file's region
// and prints its path; returns the exit status.
int exportShownMap(const core::AnalysisConditions& conditions);

// Defines "NAME FILE.RMD --from S --to E": the map folded over frames S..E, labelled by the
// two frames' stamps and the fold, exported as the current-display CSV.
CommandRun defineRangeExport(CLI::App& command, viewer::RangeFold fold);

}  // namespace ombrix::tool
