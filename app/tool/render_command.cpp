// ombrix-tool render FILE.RMD (--frame K | --sum S:E | --max S:E | --sum/--max --from S
// --to E) --png OUT.png [--size WxH] [--no-basemap]: the map the viewer draws for a frame, an
// accumulated or a maximum field, as a PNG picture of the viewer's drawing surface.
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "app/tool/command_table.h"
#include "app/tool/frame_options.h"
#include "app/tool/map_choice.h"
#include "app/tool/png_encoding.h"
#include "core/distinct_output.h"
#include "core/number_text.h"
#include "core/output_file.h"
#include "viewer/base_map.h"
#include "viewer/map_renderer.h"
#include "viewer/rmd_opening.h"

namespace ombrix::tool {
namespace {

constexpr int kViewerWidth = 689;  // the viewer's drawing surface
constexpr int kViewerHeight = 593;
constexpr int kLargestSide = 16384;

struct RenderOptions {
  std::string rmdPath;
  std::string pngPath;
  MapChoiceOptions map;
  std::string size;
  bool noBaseMap = false;
};

// "WxH" with both sides from 1 to kLargestSide.
bool parseSize(const std::string& text, int& width, int& height) {
  const auto x = text.find('x');
  if (x == std::string::npos) return false;
  const auto w = core::parseWholeNumber(std::string_view(text).substr(0, x));
  const auto h = core::parseWholeNumber(std::string_view(text).substr(x + 1));
  if (!w || !h || *w < 1 || *h < 1 || *w > kLargestSide || *h > kLargestSide) return false;
  width = *w;
  height = *h;
  return true;
}

core::Status writePng(const viewer::RgbImage& image, const std::string& path) {
  const std::vector<std::uint8_t> bytes = encodePng(image);
  if (bytes.empty()) return {core::Problem::CannotEncodePng, path};
  core::OutputFile file;
  if (core::Status s = file.open(path); !s) return s;
  if (core::Status s = file.write(bytes); !s) return s;
  return file.commit();
}

int runRender(const CLI::App& command, const RenderOptions& options) {
  core::Status asked;
  const FrameRangeText frames = framesAsked(command, options.map, asked);
  int width = kViewerWidth;
  int height = kViewerHeight;
  if (!options.size.empty() && !parseSize(options.size, width, height)) {
    asked = usageProblem("--size is written WxH, each side 1 to " + std::to_string(kLargestSide));
  }
  if (!asked) return usageError(command, asked);

  const viewer::RmdOpening opening =
      viewer::openRmdFile(options.rmdPath, static_cast<float>(width), static_cast<float>(height));
  if (!opening.status) return refused(opening.status);
  core::AnalysisConditions conditions;
  viewer::applyOpening(opening, conditions);
  if (core::Status s = showChosenMap(command, frames, conditions); !s) return refused(s);

  viewer::RgbImage image(width, height);
  if (foldAsked(command) == viewer::RangeFold::Sum) {
    viewer::drawAccumulatedMap(conditions, image.view());
  } else {
    viewer::drawIntensityMap(conditions, image.view());
  }
  if (!options.noBaseMap) {
    viewer::drawBaseMap(viewer::baseMapBesideExecutable(), conditions.geometry, image.view());
  }
  if (core::Status s = core::checkOutputNotInput(options.pngPath, {options.rmdPath, viewer::baseMapBesideExecutable()}); !s) return refused(s);
  if (core::Status s = writePng(image, options.pngPath); !s) return refused(s);
  std::cout << options.pngPath << "\n";
  return kExitOk;
}

}  // namespace

CommandRun defineRender(CLI::App& command) {
  const auto options = std::make_shared<RenderOptions>();
  addRmdFileArgument(command, options->rmdPath);
  addMapChoiceOptions(command, options->map);
  command.add_option("--png", options->pngPath, "PNG file to write")->type_name("OUT.png")->required();
  command.add_option("--size", options->size, "picture size (default: the viewer's, 689x593)")->type_name("WxH");
  command.add_flag("--no-basemap", options->noBaseMap, "leave out the coastline");
  return [&command, options] { return runRender(command, *options); };
}

}  // namespace ombrix::tool
