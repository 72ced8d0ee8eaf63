#pragma once
// Areal rainfall as a user asks for it, from the main window or the batch tool: the polygons
// of a vector file, the frames of a source, the series CSV file and, with durations, the file
// of the largest depths.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/frame_input.h"
#include "core/operation_callbacks.h"
#include "core/problem.h"
#include "gis/areal_csv.h"
#include "gis/cell_weights.h"

namespace ombrix::gis {

struct ArealRequest {
  core::FrameInput source;
  std::filesystem::path polygons;
  std::optional<std::string> nameField;  // nothing: "name"
  std::vector<int> durationHours;        // empty: no durations file
  MaximaPeriods by = MaximaPeriods::Whole;  // the durations of each calendar year or month
  std::filesystem::path out;             // the series file; the durations file lies beside it
};

struct ArealResult {
  core::Status status;
  std::vector<Shape> shapes;                // the polygons, once read
  std::vector<std::filesystem::path> files;  // written: the series file, then the durations file
};

// Refuses outputs that name one of the inputs, reads the polygons, computes every frame of the
// source (one step of callbacks per frame, or per archive file) and writes the files. A refusal,
// a failure or a cancel writes nothing and leaves the targets as they were.
ArealResult computeArealRainfall(ArealRequest request, const core::OperationCallbacks& callbacks = {});

}  // namespace ombrix::gis
