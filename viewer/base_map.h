#pragma once
// The base map jp.map (coastlines as polylines of microdegree points) and its overlay: one
// pixel black lines between consecutive points, drawn over the rain map.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include "core/byte_io.h"
#include "viewer/rgb_surface.h"
#include "viewer/surface_projection.h"

namespace ombrix::viewer {

struct MapPoint {
  std::int32_t lon = 0;  // microdegrees east
  std::int32_t lat = 0;  // microdegrees north
  bool operator==(const MapPoint&) const = default;
};

// The contents of a jp.map file with its polyline directory checked against the file's size:
// a directory or point list that runs past the end of the file is taken as far as it goes.
// The points stay in the file's bytes, so a directory that names the same point list many
// times costs no memory.
class BaseMap {
 public:
  explicit BaseMap(core::Bytes bytes);
  std::size_t polylineCount() const noexcept { return polylines_.size(); }
  std::size_t pointCount(std::size_t polyline) const noexcept { return polylines_[polyline].count; }
  MapPoint point(std::size_t polyline, std::size_t k) const noexcept;

 private:
  struct Polyline {
    std::size_t offset;
    std::size_t count;
  };
  core::Bytes bytes_;
  std::vector<Polyline> polylines_;
};

// The file read in one block (BaseMap decodes bytes in memory); nothing for a missing or
// unreadable file.
std::optional<BaseMap> readBaseMap(const std::filesystem::path& path);

// The surface pixels (y * width + x, ascending, each once) that the lines of the map cover on
// a width x height surface.
std::vector<std::uint32_t> rasteriseBaseMap(const BaseMap& map, const ViewGeometry& geometry, int width, int height);

// Surface position of a map point: x from the longitude, y from the latitude (north is up).
std::int64_t pointX(const ViewGeometry& g, std::int32_t lon) noexcept;
std::int64_t pointY(const ViewGeometry& g, std::int32_t lat) noexcept;

// Appends the pixels (y * width + x) of the one-pixel line from (x0, y0) to (x1, y1), both
// ends included, that lie on a width x height surface. They are the pixels of the whole line:
// clipping only leaves out the ones outside. Lines with an end beyond kLineLimit are skipped.
inline constexpr std::int64_t kLineLimit = std::int64_t{1} << 29;
void appendLinePixels(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1, int width, int height,
                      std::vector<std::uint32_t>& out);

// Draws the base map at path over the surface, reading the file on every call; a missing
// file draws nothing.
void drawBaseMap(const std::filesystem::path& path, const ViewGeometry& geometry, SurfaceView surface);

// The base map overlay for repeated redraws: keeps the rasterised lines for the geometry, the
// surface size and the file's size and modification time, and re-reads the file only when one
// of them changes (a replaced jp.map is used from the next draw on).
class BaseMapOverlay {
 public:
  void draw(const std::filesystem::path& path, const ViewGeometry& geometry, SurfaceView surface);
  // How often the file was read since construction (for tests).
  int readCount() const noexcept { return reads_; }

 private:
  struct Key {
    std::filesystem::path path;
    ViewGeometry geometry;
    int width = 0;
    int height = 0;
    std::uintmax_t fileSize = 0;
    std::filesystem::file_time_type modified;
    bool operator==(const Key&) const = default;
  };
  std::optional<Key> key_;
  std::vector<std::uint32_t> pixels_;
  int reads_ = 0;
};

// The jp.map beside the running executable.
std::filesystem::path baseMapBesideExecutable();

}  // namespace ombrix::viewer
