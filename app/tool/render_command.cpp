// ombrix-tool render FILE.RMD (--frame K | --sum S:E | --max S:E) --png OUT.png [--size WxH]
// [--no-basemap]: the map the viewer draws for a frame, an accumulated or a maximum field, as
// a PNG picture of the viewer's drawing surface.
#include <iostream>
#include <optional>
#include <span>
#include <string>
#include <tuple>
#include <vector>

#include "app/tool/tool_command.h"
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

constexpr const char* kCommand = "render";
constexpr int kViewerWidth = 689;  // the viewer's drawing surface
constexpr int kViewerHeight = 593;
constexpr int kLargestSide = 16384;

enum class MapKind { Frame, Sum, Max };

struct RenderRequest {
  std::string rmdPath;
  std::string pngPath;
  MapKind kind = MapKind::Frame;
  int first = 0;
  int last = 0;
  int width = kViewerWidth;
  int height = kViewerHeight;
  bool baseMap = true;
};

// "S:E" as two whole numbers.
std::optional<std::pair<int, int>> parseRange(const std::string& text) {
  const auto colon = text.find(':');
  if (colon == std::string::npos) return std::nullopt;
  const auto first = core::parseWholeNumber(std::string_view(text).substr(0, colon));
  const auto last = core::parseWholeNumber(std::string_view(text).substr(colon + 1));
  if (!first || !last) return std::nullopt;
  return std::pair{*first, *last};
}

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

// The request, or the usage error's detail in error.
std::optional<RenderRequest> parseRequest(const std::vector<std::string>& words, std::string& error) {
  ToolArguments arguments;
  if (!arguments.parse(words, {"--frame", "--sum", "--max", "--png", "--size"}, {"--no-basemap"})) {
    error = arguments.error();
    return std::nullopt;
  }
  RenderRequest request;
  const auto png = arguments.value("--png");
  if (arguments.positional().size() != 1 || !png) {
    error = "one RMD file and --png are needed";
    return std::nullopt;
  }
  request.rmdPath = arguments.positional().front();
  request.pngPath = *png;
  request.baseMap = !arguments.flag("--no-basemap");
  const auto frame = arguments.value("--frame");
  const auto sum = arguments.value("--sum");
  const auto max = arguments.value("--max");
  if ((frame ? 1 : 0) + (sum ? 1 : 0) + (max ? 1 : 0) != 1) {
    error = "exactly one of --frame, --sum and --max is needed";
    return std::nullopt;
  }
  if (frame) {
    const auto k = core::parseWholeNumber(*frame);
    if (!k) {
      error = "--frame needs a frame number";
      return std::nullopt;
    }
    request.first = request.last = *k;
  } else {
    const auto range = parseRange(sum ? *sum : *max);
    if (!range) {
      error = "a range is written S:E";
      return std::nullopt;
    }
    request.kind = sum ? MapKind::Sum : MapKind::Max;
    std::tie(request.first, request.last) = *range;
  }
  const auto size = arguments.value("--size");
  if (size && !parseSize(*size, request.width, request.height)) {
    error = "--size is written WxH, each side 1 to " + std::to_string(kLargestSide);
    return std::nullopt;
  }
  return request;
}

// Puts the requested field into rainGrid, as the viewer's commands do.
core::Status computeField(const RenderRequest& request, core::AnalysisConditions& conditions) {
  if (request.kind == MapKind::Frame) {
    std::vector<std::int16_t> frameGrid;
    return viewer::showFrame(conditions, request.first, frameGrid);
  }
  TerminalProgress progress(request.kind == MapKind::Sum ? "sum" : "max");
  viewer::FoldCallbacks callbacks;
  const double frames = request.last - request.first + 1;
  callbacks.frameStarting = [&](int position) { progress.update(position / frames); };
  std::vector<std::int16_t> field;
  const core::Status status =
      request.kind == MapKind::Sum
          ? viewer::accumulateFrames(conditions, request.first, request.last, field, callbacks)
          : viewer::maximumOfFrames(conditions, request.first, request.last, field, callbacks);
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

int runRender(const std::vector<std::string>& words) {
  std::string error;
  const std::optional<RenderRequest> request = parseRequest(words, error);
  if (!request) return usageError(kCommand, error);
  const viewer::RmdOpening opening =
      viewer::openRmdFile(request->rmdPath, static_cast<float>(request->width), static_cast<float>(request->height));
  if (opening.outcome != viewer::OpenOutcome::Opened) return refused(opening.status);
  core::AnalysisConditions conditions;
  viewer::applyOpening(opening, conditions);
  if (core::Status s = computeField(*request, conditions); !s) return refused(s);

  viewer::RgbImage image(request->width, request->height);
  if (request->kind == MapKind::Sum) {
    viewer::drawAccumulatedMap(conditions, image.view());
  } else {
    viewer::drawIntensityMap(conditions, image.view());
  }
  if (request->baseMap) {
    viewer::drawBaseMap(viewer::baseMapBesideExecutable(), viewer::geometryOf(conditions), image.view());
  }
  if (core::Status s = writePng(image, request->pngPath); !s) return refused(s);
  std::cout << request->pngPath << "\n";
  return kExitOk;
}

const ToolCommandRegistration registration{
    {kCommand,
     "render FILE.RMD (--frame K | --sum S:E | --max S:E) --png OUT.png [--size WxH] [--no-basemap]"
     "    (the map as the viewer draws it, as PNG)",
     runRender}};

}  // namespace
}  // namespace ombrix::tool
