#include "viewer/base_map.h"

#include <algorithm>
#include <system_error>

#include "core/input_file.h"
#include "core/program_folder.h"
#include "viewer/intensity_classes.h"

namespace ombrix::viewer {

namespace {

constexpr std::size_t kDirectoryStart = 4;
constexpr std::size_t kRecordSize = 28;
constexpr std::size_t kPointCountAt = 20;
constexpr std::size_t kPointOffsetAt = 24;
constexpr std::size_t kPointSize = 8;
constexpr std::uint32_t kLineColour = kBlack.argb();

std::int64_t ceilDiv(std::int64_t numerator, std::int64_t denominator) {
  return numerator / denominator + (numerator % denominator > 0 ? 1 : 0);  // denominator > 0
}

// The pixels of a line along its major axis: step i (0 .. majorLength) moves the major
// coordinate by i and the minor one by floor((2 i minorLength + majorLength) / (2 majorLength)),
// i.e. i * minorLength / majorLength rounded half up. Only steps inside the surface are visited.
template <typename Plot>
void walkLine(std::int64_t major0, std::int64_t minor0, std::int64_t majorLength, std::int64_t minorLength,
              int majorSign, int minorSign, std::int64_t majorSize, std::int64_t minorSize, Plot plot) {
  // Major coordinate inside 0 .. majorSize - 1.
  std::int64_t first = majorSign > 0 ? -major0 : major0 - (majorSize - 1);
  std::int64_t last = majorSign > 0 ? majorSize - 1 - major0 : major0;
  first = std::max<std::int64_t>(first, 0);
  last = std::min(last, majorLength);
  // Skip the steps before the minor coordinate enters the surface.
  const std::int64_t enter = minorSign > 0 ? -minor0 : minor0 - (minorSize - 1);
  if (enter > 0) {
    if (minorLength == 0) return;
    first = std::max(first, ceilDiv(2 * majorLength * enter - majorLength, 2 * minorLength));
  }
  for (std::int64_t i = first; i <= last; ++i) {
    const std::int64_t minorStep = (2 * i * minorLength + majorLength) / (2 * majorLength);
    const std::int64_t minor = minor0 + minorSign * minorStep;
    if (minor < 0 || minor >= minorSize) {
      if (minorStep >= enter) return;  // left the surface for good
      continue;
    }
    plot(major0 + majorSign * i, minor);
  }
}

void projectAndRasterise(const BaseMap& map, const ViewGeometry& g, int width, int height,
                         std::vector<std::uint32_t>& pixels) {
  for (std::size_t p = 0; p < map.polylineCount(); ++p) {
    const std::size_t count = map.pointCount(p);
    if (count < 2) continue;
    MapPoint point = map.point(p, 0);
    std::int64_t x = pointX(g, point.lon);
    std::int64_t y = pointY(g, point.lat);
    for (std::size_t k = 1; k < count; ++k) {
      point = map.point(p, k);
      const std::int64_t nextX = pointX(g, point.lon);
      const std::int64_t nextY = pointY(g, point.lat);
      appendLinePixels(x, y, nextX, nextY, width, height, pixels);
      x = nextX;
      y = nextY;
    }
  }
}

void composite(const std::vector<std::uint32_t>& pixels, SurfaceView surface) {
  if (surface.stride == surface.width) {
    for (std::uint32_t index : pixels) surface.pixels[index] = kLineColour;
    return;
  }
  const auto width = static_cast<std::uint32_t>(surface.width);
  for (std::uint32_t index : pixels) surface.row(static_cast<int>(index / width))[index % width] = kLineColour;
}

bool fileStatus(const std::filesystem::path& path, std::uintmax_t& size, std::filesystem::file_time_type& modified) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return false;
  size = std::filesystem::file_size(path, error);
  if (error) return false;
  modified = std::filesystem::last_write_time(path, error);
  return !error;
}

}  // namespace

BaseMap::BaseMap(core::Bytes bytes) : bytes_(std::move(bytes)) {
  const core::ByteView view(bytes_);
  if (!view.has(0, kDirectoryStart)) return;
  const std::int32_t declared = view.i32(0);
  const std::size_t records = std::min<std::size_t>(declared > 0 ? static_cast<std::size_t>(declared) : 0,
                                                    (view.size() - kDirectoryStart) / kRecordSize);
  polylines_.reserve(records);
  for (std::size_t k = 0; k < records; ++k) {
    const std::size_t record = kDirectoryStart + kRecordSize * k;
    const std::int32_t count = view.i32(record + kPointCountAt);
    const std::int32_t offset = view.i32(record + kPointOffsetAt);
    const bool inFile = offset >= 0 && static_cast<std::size_t>(offset) <= view.size();
    const std::size_t available = inFile ? (view.size() - static_cast<std::size_t>(offset)) / kPointSize : 0;
    const std::size_t wanted = count > 0 ? static_cast<std::size_t>(count) : 0;
    polylines_.push_back({inFile ? static_cast<std::size_t>(offset) : 0, std::min(wanted, available)});
  }
}

MapPoint BaseMap::point(std::size_t polyline, std::size_t k) const noexcept {
  const std::uint8_t* p = bytes_.data() + polylines_[polyline].offset + kPointSize * k;
  return {core::readI32LE(p), core::readI32LE(p + 4)};
}

std::optional<BaseMap> readBaseMap(const std::filesystem::path& path) {
  std::optional<core::Bytes> bytes = core::readWholeFile(path);
  if (!bytes) return std::nullopt;
  return BaseMap(std::move(*bytes));
}

std::int64_t pointX(const ViewGeometry& g, std::int32_t lon) noexcept {
  return floorToSurface((lon - static_cast<double>(g.mapCenterLon)) * static_cast<double>(g.zoom) +
                        static_cast<double>(g.viewCenterX));
}

std::int64_t pointY(const ViewGeometry& g, std::int32_t lat) noexcept {
  return floorToSurface(static_cast<double>(g.viewCenterY) -
                        (lat - static_cast<double>(g.mapCenterLat)) * static_cast<double>(g.zoom));
}

void appendLinePixels(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1, int width, int height,
                      std::vector<std::uint32_t>& out) {
  const auto beyond = [](std::int64_t v) { return v < -kLineLimit || v > kLineLimit; };
  if (width <= 0 || height <= 0 || beyond(x0) || beyond(y0) || beyond(x1) || beyond(y1)) return;
  const std::int64_t dx = x1 - x0;
  const std::int64_t dy = y1 - y0;
  const std::int64_t adx = dx < 0 ? -dx : dx;
  const std::int64_t ady = dy < 0 ? -dy : dy;
  const int sx = dx < 0 ? -1 : 1;
  const int sy = dy < 0 ? -1 : 1;
  const auto index = [&](std::int64_t x, std::int64_t y) { out.push_back(static_cast<std::uint32_t>(y * width + x)); };
  if (adx == 0 && ady == 0) {
    if (x0 >= 0 && x0 < width && y0 >= 0 && y0 < height) index(x0, y0);
  } else if (adx >= ady) {
    walkLine(x0, y0, adx, ady, sx, sy, width, height, [&](std::int64_t x, std::int64_t y) { index(x, y); });
  } else {
    walkLine(y0, x0, ady, adx, sy, sx, height, width, [&](std::int64_t y, std::int64_t x) { index(x, y); });
  }
}

std::vector<std::uint32_t> rasteriseBaseMap(const BaseMap& map, const ViewGeometry& geometry, int width, int height) {
  std::vector<std::uint32_t> pixels;
  if (width <= 0 || height <= 0) return pixels;
  projectAndRasterise(map, geometry, width, height, pixels);
  std::sort(pixels.begin(), pixels.end());
  pixels.erase(std::unique(pixels.begin(), pixels.end()), pixels.end());
  return pixels;
}

void drawBaseMap(const std::filesystem::path& path, const ViewGeometry& geometry, SurfaceView surface) {
  if (surface.empty()) return;
  const std::optional<BaseMap> map = readBaseMap(path);
  if (!map) return;
  composite(rasteriseBaseMap(*map, geometry, surface.width, surface.height), surface);
}

void BaseMapOverlay::draw(const std::filesystem::path& path, const ViewGeometry& geometry, SurfaceView surface) {
  Key key{path, geometry, surface.width, surface.height, 0, {}};
  if (surface.empty() || !fileStatus(path, key.fileSize, key.modified)) {
    key_.reset();
    pixels_.clear();
    return;
  }
  if (key_ != key) {
    const std::optional<BaseMap> map = readBaseMap(path);
    ++reads_;
    pixels_ = map ? rasteriseBaseMap(*map, geometry, surface.width, surface.height) : std::vector<std::uint32_t>{};
    key_ = map ? std::optional<Key>(key) : std::nullopt;
  }
  composite(pixels_, surface);
}

std::filesystem::path baseMapBesideExecutable() { return core::programFolder() / "jp.map"; }

}  // namespace ombrix::viewer
