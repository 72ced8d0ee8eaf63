#pragma once
// What the export commands share: a file opened as the viewer opens it with the map shown of it,
// and writing that map as the current-display CSV. Commands that only read frames open a
// core::RmdDataset.
#include <cstdint>
#include <string>
#include <vector>

#include "app/tool/tool_command.h"
#include "core/rmd_dataset.h"
#include "core/shown_map.h"
#include "viewer/frame_accumulation.h"
#include "viewer/rmd_opening.h"

namespace ombrix::tool {

struct ExportSession {
  core::RmdDataset file;
  std::string areaName;             // the region its name begins with; empty when it names none
  std::vector<std::int16_t> cells;  // the map shown, row-major over the file's grid
  std::string label;                // names the map's files; empty: no map shown
  // The map shown, for its exports into the file's folder.
  core::ShownMap shownMap() const { return {cells, label, file.grid(), file.path().parent_path()}; }
};

// The session of a file opened with opening.
ExportSession sessionOf(const viewer::OpenedRmd& opened);

// Opens path as the viewer's file dialog does, without a drawing surface.
core::Status openForExport(const std::string& path, ExportSession& session);

// Writes the map shown as the current-display CSV named after the file's region and prints its
// path; returns the exit status.
int exportShownMap(const ExportSession& session);

// Defines "NAME FILE.RMD --from S --to E": the map folded over frames S..E, labelled by the
// two frames' stamps and the fold, exported as the current-display CSV.
CommandRun defineRangeExport(CLI::App& command, viewer::RangeFold fold);

}  // namespace ombrix::tool
