#pragma once
// Areal rainfall over a range of frames, from the open RMD file or straight from the archive
// or the agency's GRIB2 files.
#include <functional>
#include <vector>

#include "core/frame_source.h"
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

// Every frame slot of the request's period, decoded from its source (the archive's catalogue or
// the GRIB2 files) in a window cut around the polygons; the request's area is not used. Memory
// does not grow with the period beyond the table. Same refusals as preprocessing, and those of
// prepare().
core::Status arealOverArchive(const core::FrameRequest& request, const std::vector<Shape>& shapes,
                              ArealComputation& computation, const core::OperationCallbacks& callbacks = {});

}  // namespace ombrix::gis
