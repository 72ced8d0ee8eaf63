#include "gis/cell_weights.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "export/csv_number_format.h"

namespace ombrix::gis {

namespace {

// Keeps the part of the ring on one side of a vertical (lon) or horizontal (lat) line
// (Sutherland-Hodgman against one edge). Clipping a ring, concave or not, against the four
// edges of a rectangle in turn leaves a ring whose signed area is that of the intersection.
template <bool Vertical, bool KeepAbove>
void clipAgainst(const Ring& in, double bound, Ring& out) {
  out.clear();
  const auto coordinate = [](const LonLat& p) { return Vertical ? p.lon : p.lat; };
  const auto inside = [&](const LonLat& p) { return KeepAbove ? coordinate(p) >= bound : coordinate(p) <= bound; };
  const auto crossing = [&](const LonLat& a, const LonLat& b) {
    const double t = (bound - coordinate(a)) / (coordinate(b) - coordinate(a));
    return Vertical ? LonLat{bound, a.lat + t * (b.lat - a.lat)} : LonLat{a.lon + t * (b.lon - a.lon), bound};
  };
  for (std::size_t i = 0; i < in.size(); ++i) {
    const LonLat& current = in[i];
    const LonLat& previous = in[i == 0 ? in.size() - 1 : i - 1];
    const bool currentInside = inside(current);
    if (currentInside != inside(previous)) out.push_back(crossing(previous, current));
    if (currentInside) out.push_back(current);
  }
}

double signedArea(const Ring& ring) noexcept {
  double twice = 0;
  for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
    twice += (ring[j].lon - ring[i].lon) * (ring[j].lat + ring[i].lat);
  }
  return twice / 2;
}

// A shape's rings cut to one row's latitude band, each with the sign its area counts with.
struct BandRing {
  Ring ring;
  double sign;
};

// Area of the band rings between west and east longitudes.
double areaBetween(const std::vector<BandRing>& band, double west, double east, Ring& scratch, Ring& clipped) {
  double area = 0;
  for (const BandRing& r : band) {
    clipAgainst<true, true>(r.ring, west, scratch);
    clipAgainst<true, false>(scratch, east, clipped);
    if (clipped.size() >= 3) area += r.sign * std::abs(signedArea(clipped));
  }
  return area;
}

void cutToBand(const Shape& shape, double south, double north, std::vector<BandRing>& band, LonLatBounds& extent) {
  band.clear();
  Ring scratch;
  for (const Polygon& polygon : shape.parts) {
    for (std::size_t r = 0; r < polygon.rings.size(); ++r) {
      BandRing cut{{}, r == 0 ? 1.0 : -1.0};
      clipAgainst<false, true>(polygon.rings[r], south, scratch);
      clipAgainst<false, false>(scratch, north, cut.ring);
      if (cut.ring.size() < 3) continue;
      extent.add(cut.ring);
      band.push_back(std::move(cut));
    }
  }
}

double degrees(std::int32_t microdegrees) noexcept { return static_cast<double>(microdegrees) / 1'000'000.0; }

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr double kRadians = std::numbers::pi / 180;

// floor(offset / step), held within first .. last before it becomes an integer (first if NaN).
long clampedIndex(double offset, double step, long first, long last) noexcept {
  const double index = std::floor(offset / step);
  if (!(index >= static_cast<double>(first))) return first;
  return index > static_cast<double>(last) ? last : static_cast<long>(index);
}

bool allFinite(const Shape& shape) noexcept {
  const auto finite = [](const LonLat& p) { return std::isfinite(p.lon) && std::isfinite(p.lat); };
  return std::ranges::all_of(shape.parts, [&](const Polygon& polygon) {
    return std::ranges::all_of(polygon.rings, [&](const Ring& ring) { return std::ranges::all_of(ring, finite); });
  });
}

// A ring whose area, taken about its first point, is lost in the rounding against the rectangle
// around it has none (points on one line, for instance).
bool hasArea(const Ring& ring) noexcept {
  if (ring.size() < 3) return false;
  LonLatBounds box;
  box.add(ring);
  double twice = 0;
  const LonLat& o = ring.front();
  for (std::size_t i = 1; i + 1 < ring.size(); ++i) {
    twice += (ring[i].lon - o.lon) * (ring[i + 1].lat - o.lat) - (ring[i + 1].lon - o.lon) * (ring[i].lat - o.lat);
  }
  return std::abs(twice) > 1e-9 * (box.east - box.west) * (box.north - box.south);
}

// The weight of the shape's parts between two latitudes (kept within the poles) as one band,
// with the cosine of the band's middle.
double bandWeight(const Shape& shape, double south, double north, std::vector<BandRing>& band) {
  LonLatBounds extent;
  cutToBand(shape, std::max(south, -90.0), std::min(north, 90.0), band, extent);
  if (band.empty()) return 0;
  Ring scratch, clipped;
  const double weight = areaBetween(band, -kInfinity, kInfinity, scratch, clipped) *
                        std::cos((extent.south + extent.north) / 2 * kRadians);
  return weight > 0 ? weight : 0;
}

}  // namespace

void LonLatBounds::add(const Ring& ring) noexcept {
  for (const LonLat& p : ring) {
    west = std::min(west, p.lon);
    east = std::max(east, p.lon);
    south = std::min(south, p.lat);
    north = std::max(north, p.lat);
  }
}

LonLatBounds outlineBounds(std::span<const Shape> shapes) noexcept {
  LonLatBounds bounds;
  for (const Shape& shape : shapes) {
    for (const Polygon& polygon : shape.parts) {
      if (!polygon.rings.empty()) bounds.add(polygon.rings.front());
    }
  }
  return bounds;
}

core::Status checkShape(const Shape& shape) {
  if (!allFinite(shape)) return {core::Problem::PolygonCoordinateNotFinite, {}, {.name = shape.name}};
  for (const Polygon& polygon : shape.parts) {
    if (!std::ranges::all_of(polygon.rings, hasArea)) {
      return {core::Problem::PolygonRingWithoutArea, {}, {.name = shape.name}};
    }
  }
  return {};
}

CellRectangle cellRectangle(const CellGrid& grid, int row, int column) noexcept {
  const double lon = exports::cellLongitudeDegrees(grid.westLon, grid.cellWidth, column);
  const double lat = exports::cellLatitudeDegrees(grid.northLat, grid.cellHeight, row);
  const double halfWidth = exports::cellStepDegrees(grid.cellWidth) / 2;
  const double halfHeight = exports::cellStepDegrees(grid.cellHeight) / 2;
  return {lon - halfWidth, lon + halfWidth, lat - halfHeight, lat + halfHeight, lat};
}

std::optional<std::size_t> cellContaining(const CellGrid& grid, double lon, double lat) noexcept {
  const CellRectangle first = cellRectangle(grid, 0, 0);
  const double column = std::floor((lon - first.west) / exports::cellStepDegrees(grid.cellWidth));
  const double row = std::floor((first.north - lat) / exports::cellStepDegrees(grid.cellHeight));
  if (!(column >= 0 && column < grid.columns && row >= 0 && row < grid.rows)) return std::nullopt;
  return static_cast<std::size_t>(row) * static_cast<std::size_t>(grid.columns) + static_cast<std::size_t>(column);
}

double areaInside(const Shape& shape, const CellRectangle& cell) {
  std::vector<BandRing> band;
  LonLatBounds extent;
  cutToBand(shape, cell.south, cell.north, band, extent);
  Ring scratch, clipped;
  return areaBetween(band, cell.west, cell.east, scratch, clipped);
}

namespace {

// Adds the cells of row m that the band of the shape meets; the band's parts outside the grid
// count in the whole weight only.
void addRow(const std::vector<BandRing>& band, const LonLatBounds& extent, const CellGrid& grid, long m,
            ShapeWeights& result) {
  const CellRectangle first = cellRectangle(grid, static_cast<int>(m), 0);
  const double cosine = std::cos(first.centreLat * kRadians);
  if (!(cosine > 0)) return;
  Ring scratch, clipped;
  const bool rowInGrid = m >= 0 && m < grid.rows;
  if (!rowInGrid) {
    result.wholeWeight += areaBetween(band, -kInfinity, kInfinity, scratch, clipped) * cosine;
    return;
  }
  const CellRectangle last = cellRectangle(grid, static_cast<int>(m), grid.columns - 1);
  result.wholeWeight += (areaBetween(band, -kInfinity, first.west, scratch, clipped) +
                         areaBetween(band, last.east, kInfinity, scratch, clipped)) *
                        cosine;
  const double lonStep = exports::cellStepDegrees(grid.cellWidth);
  const long lastColumn = grid.columns - 1;
  ShapeWeights::Run run{0, 0, 0};
  const auto closeRun = [&] {
    if (run.count > 0) result.runs.push_back(run);
    run.count = 0;
  };
  // With one cell to spare on either side for the rounding of positions.
  const long from = clampedIndex(extent.west - first.west, lonStep, 0, lastColumn + 1) - 1;
  const long to = clampedIndex(extent.east - first.west, lonStep, -1, lastColumn) + 1;
  for (long n = std::max(from, 0L); n <= std::min(to, lastColumn); ++n) {
    const CellRectangle cell = cellRectangle(grid, static_cast<int>(m), static_cast<int>(n));
    const auto weight = static_cast<float>(areaBetween(band, cell.west, cell.east, scratch, clipped) * cosine);
    if (!(weight > 0)) {
      closeRun();
      continue;
    }
    result.wholeWeight += weight;
    const auto cellIndex = static_cast<std::uint32_t>(m * grid.columns + n);
    if (run.count == 0) run = {cellIndex, 0, static_cast<std::uint32_t>(result.weights.size())};
    result.weights.push_back(weight);
    ++run.count;
  }
  closeRun();
}

}  // namespace

ShapeWeights shapeWeights(const Shape& shape, const CellGrid& grid) {
  ShapeWeights result;
  const LonLatBounds bounds = outlineBounds(std::span(&shape, 1));
  const double latStep = exports::cellStepDegrees(grid.cellHeight);
  if (bounds.empty() || !allFinite(shape) || grid.rows < 1 || grid.columns < 1 ||
      !(exports::cellStepDegrees(grid.cellWidth) > 0) || !(latStep > 0)) {
    return result;
  }
  // The rows that can meet the shape, one to spare on either side, within the window of the
  // grid and its margins.
  const long margin = grid.rows;
  const long firstInWindow = -margin;
  const long lastInWindow = grid.rows - 1 + margin;
  const double north = degrees(grid.northLat) + latStep / 2;
  const long firstRow = clampedIndex(north - bounds.north, latStep, firstInWindow + 1, lastInWindow + 1) - 1;
  const long lastRow = clampedIndex(north - bounds.south, latStep, firstInWindow - 1, lastInWindow - 1) + 1;
  std::vector<BandRing> band;
  for (long m = firstRow; m <= lastRow; ++m) {
    const CellRectangle rowCell = cellRectangle(grid, static_cast<int>(m), 0);
    LonLatBounds extent;
    cutToBand(shape, rowCell.south, rowCell.north, band, extent);
    if (!band.empty()) addRow(band, extent, grid, m, result);
  }
  if (result.empty()) return result;
  result.wholeWeight += bandWeight(shape, cellRectangle(grid, static_cast<int>(firstInWindow), 0).north, kInfinity, band) +
                        bandWeight(shape, -kInfinity, cellRectangle(grid, static_cast<int>(lastInWindow), 0).south, band);
  return result;
}

}  // namespace ombrix::gis
