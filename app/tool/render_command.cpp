// ombrix-tool render FILE.RMD (--frame K | --sum S:E | --max S:E | --sum/--max --from S
// --to E) --png OUT.png [--size WxH] [--no-basemap]: the map the viewer draws for a frame, an
// accumulated or a maximum field, as a PNG picture of the viewer's drawing surface.
#include <iostream>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/tool/command_table.h"
#include "app/tool/frame_options.h"
#include "core/messages.h"
#include "core/number_text.h"
#include "core/output_file.h"
#include "viewer/base_map.h"
#include "viewer/frame_accumulation.h"
#include "viewer/frame_loading.h"
#include "viewer/map_renderer.h"
#include "viewer/rmd_opening.h"

#ifdef OMBRIX_HAVE_QTGUI
#include <QBuffer>
#include <QByteArray>
#include <QImage>
#endif

namespace ombrix::tool {
namespace {

constexpr int kViewerWidth = 689;  // the viewer's drawing surface
constexpr int kViewerHeight = 593;
constexpr int kLargestSide = 16384;

struct RenderOptions {
  std::string rmdPath;
  std::string pngPath;
  std::string frame;
  std::string sum;
  std::string max;
  FrameRangeText range;
  std::string size;
  bool noBaseMap = false;
};

// What the options ask for, resolved against the open file.
struct RenderRequest {
  std::optional<viewer::RangeFold> fold;  // a single frame when empty
  int first = 0;
  int last = 0;
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

// The frames the options name, as written; an empty text in error means success.
FrameRangeText framesAsked(const CLI::App& command, const RenderOptions& options, std::string& error) {
  const bool frame = command.count("--frame") > 0;
  const bool fold = command.count("--sum") + command.count("--max") > 0;
  const bool range = command.count("--from") + command.count("--to") > 0;
  if (!frame && !fold) {  // CLI11 refuses more than one
    error = "one of --frame, --sum and --max is needed";
    return {};
  }
  if (frame) {
    if (range) error = "--from and --to go with --sum and --max";
    return {options.frame, options.frame};
  }
  const std::string& written = command.count("--sum") ? options.sum : options.max;
  if (const auto ends = splitFrameRange(written)) {
    if (range) error = "the range is given either as S:E or by --from and --to";
    return *ends;
  }
  if (command.count("--from") == 0 || command.count("--to") == 0) error = "the range needs S:E or --from and --to";
  return options.range;
}

// Puts the requested field into rainGrid, as the viewer's commands do.
core::Status computeField(const RenderRequest& request, core::AnalysisConditions& conditions) {
  if (!request.fold) {
    std::vector<std::int16_t> frameGrid;
    return viewer::showFrame(conditions, request.first, frameGrid);
  }
  TerminalProgress progress(request.fold == viewer::RangeFold::Sum ? "sum" : "max");
  viewer::FoldCallbacks callbacks;
  const double frames = request.last - request.first + 1;
  callbacks.frameStarting = [&](int position) { progress.update(position / frames); };
  std::vector<std::int16_t> field;
  const core::Status status =
      viewer::foldRange(*request.fold, conditions, request.first, request.last, field, callbacks);
  if (status) conditions.rainGrid = std::move(field);
  return status;
}

core::Status writePng(const viewer::RgbImage& image, const std::string& path) {
#ifdef OMBRIX_HAVE_QTGUI
  const QImage picture(reinterpret_cast<const uchar*>(image.pixels().data()), image.width(), image.height(),
                       static_cast<qsizetype>(image.width()) * 4, QImage::Format_RGB32);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  if (!buffer.open(QIODevice::WriteOnly) || !picture.save(&buffer, "PNG")) {
    return core::Status::failure(std::string(messages::kCannotEncodePng) + path);
  }
  core::OutputFile file;
  if (core::Status s = file.open(path); !s) return s;
  const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.constData());
  if (core::Status s = file.write(std::span(data, static_cast<std::size_t>(bytes.size()))); !s) return s;
  return file.commit();
#else
  (void)image;
  return core::Status::failure(std::string(messages::kCannotEncodePng) + path);
#endif
}

int runRender(const CLI::App& command, const RenderOptions& options) {
  std::string error;
  const FrameRangeText frames = framesAsked(command, options, error);
  int width = kViewerWidth;
  int height = kViewerHeight;
  if (!options.size.empty() && !parseSize(options.size, width, height)) {
    error = "--size is written WxH, each side 1 to " + std::to_string(kLargestSide);
  }
  if (!error.empty()) return usageError(command, error);

  const viewer::RmdOpening opening =
      viewer::openRmdFile(options.rmdPath, static_cast<float>(width), static_cast<float>(height));
  if (opening.outcome != viewer::OpenOutcome::Opened) return refused(opening.status);
  core::AnalysisConditions conditions;
  viewer::applyOpening(opening, conditions);
  RenderRequest request;
  if (command.count("--sum")) request.fold = viewer::RangeFold::Sum;
  if (command.count("--max")) request.fold = viewer::RangeFold::Maximum;
  if (core::Status s = resolveFrameRange(conditions, frames, request.first, request.last); !s) return refused(s);
  if (core::Status s = computeField(request, conditions); !s) return refused(s);

  viewer::RgbImage image(width, height);
  if (request.fold == viewer::RangeFold::Sum) {
    viewer::drawAccumulatedMap(conditions, image.view());
  } else {
    viewer::drawIntensityMap(conditions, image.view());
  }
  if (!options.noBaseMap) {
    viewer::drawBaseMap(viewer::baseMapBesideExecutable(), viewer::geometryOf(conditions), image.view());
  }
  if (core::Status s = writePng(image, options.pngPath); !s) return refused(s);
  std::cout << options.pngPath << "\n";
  return kExitOk;
}

}  // namespace

CommandRun defineRender(CLI::App& command) {
  const auto options = std::make_shared<RenderOptions>();
  addRmdFileArgument(command, options->rmdPath);
  CLI::Option* frame = addFrameOption(command, "--frame", options->frame, "draw one frame");
  CLI::Option* sum = addFrameRangeOption(command, "--sum", options->sum, "draw the rainfall accumulated over a range");
  CLI::Option* max = addFrameRangeOption(command, "--max", options->max, "draw the maximum rain rate over a range");
  frame->excludes(sum)->excludes(max);
  sum->excludes(max);
  addFrameRangeOptions(command, options->range);
  command.add_option("--png", options->pngPath, "PNG file to write")->type_name("OUT.png")->required();
  command.add_option("--size", options->size, "picture size (default: the viewer's, 689x593)")->type_name("WxH");
  command.add_flag("--no-basemap", options->noBaseMap, "leave out the coastline");
  return [&command, options] { return runRender(command, *options); };
}

}  // namespace ombrix::tool
