#include "gis/areal_operation.h"

#include <variant>

#include "core/distinct_output.h"
#include "gis/areal_csv.h"
#include "gis/areal_run.h"
#include "gis/polygon_file.h"

namespace ombrix::gis {

namespace {

std::vector<std::filesystem::path> outputsOf(const ArealRequest& request) {
  if (request.durationHours.empty()) return {request.out};
  return {request.out, durationCsvPath(request.out)};
}

core::Status checkOutputs(const ArealRequest& request, const std::vector<std::filesystem::path>& outputs) {
  std::vector<std::string> inputs = core::inputFiles(request.source);
  inputs.push_back(request.polygons.string());
  for (const std::filesystem::path& output : outputs) {
    if (core::Status s = core::checkOutputNotInput(output, inputs); !s) return s;
  }
  return {};
}

core::Status computeOver(core::FrameInput& source, const std::vector<Shape>& shapes, ArealComputation& computation,
                         const core::OperationCallbacks& callbacks) {
  if (auto* request = std::get_if<core::FrameRequest>(&source)) {
    return arealOverArchive(*request, shapes, computation, callbacks);
  }
  core::FileFrames& frames = std::get<core::FileFrames>(source);
  return arealOverOpenFile(frames.file, shapes, frames.first, frames.last, computation, callbacks);
}

}  // namespace

ArealResult computeArealRainfall(ArealRequest request, const core::OperationCallbacks& callbacks) {
  ArealResult result;
  const std::vector<std::filesystem::path> outputs = outputsOf(request);
  result.status = checkOutputs(request, outputs);
  if (result.status) result.status = readPolygonFile(request.polygons, request.nameField, result.shapes);
  if (!result.status) return result;
  ArealComputation computation;
  result.status = computeOver(request.source, result.shapes, computation, callbacks);
  if (result.status) result.status = writeArealCsv(request.out, computation.table(), request.durationHours, request.by);
  if (result.status) result.files = outputs;
  return result;
}

}  // namespace ombrix::gis
