// ombrix-tool render FILE.RMD (--frame K | --sum S:E | --max S:E [--hours H] | --sum/--max
// --from S --to E) --png OUT.png [--size WxH] [--no-basemap] [--legend] [--nodata grey]: the
// map the viewer draws for a frame, an accumulated or a maximum field, or (--max with --hours)
// the largest H-hour depths over the range, as a PNG picture of the viewer's drawing surface;
// with --legend, a panel beside it states what the map shows.
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "app/tool/command_table.h"
#include "app/tool/frame_options.h"
#include "app/tool/legend_panel.h"
#include "app/tool/map_choice.h"
#include "app/tool/png_encoding.h"
#include "core/distinct_output.h"
#include "core/number_text.h"
#include "core/output_file.h"
#include "gis/duration_map.h"
#include "gis/duration_window.h"
#include "viewer/base_map.h"
#include "viewer/map_caption.h"
#include "viewer/map_legend.h"
#include "viewer/map_renderer.h"
#include "viewer/range_coverage.h"
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
  bool legend = false;
  std::string noData;
  int hours = 0;
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

// The duration map of the range the options name, shown like the viewer's.
core::Status showDurationMap(const FrameRangeText& frames, int hours, ExportSession& session) {
  int first = 0;
  int last = 0;
  if (core::Status s = resolveFrameRange(session.file.frames(), frames, first, last); !s) return s;
  gis::DurationMap map;
  if (core::Status s = gis::durationMaximumMap(session.file, first, last, hours, map); !s) return s;
  session.cells = std::move(map.grid);
  session.label = std::move(map.label);
  return {};
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
  if (options.hours != 0 && foldAsked(command) != viewer::RangeFold::Maximum) asked = usageProblem("--hours goes with --max");
  if (!asked) return usageError(command, asked);

  const viewer::RmdOpening opening =
      viewer::openRmdFile(options.rmdPath, static_cast<float>(width), static_cast<float>(height));
  if (!opening.status) return refused(opening.status);
  ExportSession session = sessionOf(opening.file);
  const viewer::ViewGeometry& geometry = opening.file.geometry;
  const core::Status shown = options.hours != 0 ? showDurationMap(frames, options.hours, session)
                                                : showChosenMap(command, frames, session);
  if (!shown) return refused(shown);
  const auto caption = viewer::mapCaptionOf(session.label);

  viewer::RgbImage image(width, height);
  viewer::MapLayer layer = viewer::mapLayerOf(session.cells, session.file, geometry);
  // Grey shows which cells were never observed, which a sum or maximum alone does not tell.
  std::vector<std::int16_t> observed;
  if (options.noData == "grey") {
    if (core::Status s = viewer::shownMapWithoutData(session.shownMap(), session.file, observed); !s) return refused(s);
    layer.grid = observed;
    layer.noDataColour = viewer::kNoDataGrey.argb();
  }
  const bool sum = foldAsked(command) == viewer::RangeFold::Sum;
  viewer::drawMapIn(layer, image.view(),
                    caption  ? viewer::classScaleOf(*caption)
                    : sum    ? viewer::ClassScale::Accumulation
                             : viewer::ClassScale::Intensity);
  if (!options.noBaseMap) {
    viewer::drawBaseMap(viewer::baseMapBesideExecutable(), geometry, image.view());
  }
  if (options.legend && caption) {
    image = withLegendPanel(image, viewer::mapLegendOf(*caption, geometry, options.noData == "grey",
                                                       kScaleBarLongest));
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
  command.add_option("--hours", options->hours, "with --max: the largest H-hour depths over the range")
      ->type_name("H")
      ->check(CLI::Range(gis::kMinDurationHours, gis::kMaxDurationHours));
  command.add_flag("--legend", options->legend,
                   "draw beside the map its title and time, colour classes, scale bar and data credit");
  command.add_option("--nodata", options->noData, "draw cells without data grey instead of white")
      ->type_name("grey")
      ->check(CLI::IsMember({"grey"}));
  return [&command, options] { return runRender(command, *options); };
}

}  // namespace ombrix::tool
