#pragma once
// Areal rainfall over a range of frames, from the open RMD file or straight from the archive.
#include <functional>
#include <vector>

#include "core/analysis_conditions.h"
#include "core/operation_callbacks.h"
#include "core/problem.h"
#include "core/rmd_dataset.h"
#include "gis/areal_series.h"
#include "gis/cell_weights.h"

namespace ombrix::gis {

// Frames per hour of the file (2 half-hourly, 1 hourly); 1 when no frame holds data.
int framesPerHourOf(const core::RmdDataset& file);

// Frames first .. last of the file, each read once. A frame whose index entry is empty is
// labelled with the time its slot stands for. One step of callbacks per frame: (frames begun,
// frames).
core::Status arealOverOpenFile(core::RmdDataset& file, const std::vector<Shape>& shapes, int first, int last,
                               ArealComputation& computation,
                               const core::OperationCallbacks& callbacks = {});

// Every frame slot of the archive period in conditions (archiveDir, period and catalogue),
// decoded from the archive in a window cut around the polygons; memory does not grow with the
// period beyond the table; one step of callbacks per archive file. Same refusals as
// preprocessing, and those of prepare().
core::Status arealOverArchive(const core::AnalysisConditions& conditions, const std::vector<Shape>& shapes,
                              ArealComputation& computation, const core::OperationCallbacks& callbacks = {});

}  // namespace ombrix::gis
