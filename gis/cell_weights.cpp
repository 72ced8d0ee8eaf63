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

struct Bounds {
  double west = std::numeric_limits<double>::infinity();
  double east = -std::numeric_limits<double>::infinity();
  double south = std::numeric_limits<double>::infinity();
  double north = -std::numeric_limits<double>::infinity();
  void add(const Ring& ring) {
    for (const LonLat& p : ring) {
      west = std::min(west, p.lon);
      east = std::max(east, p.lon);
      south = std::min(south, p.lat);
      north = std::max(north, p.lat);
    }
  }
  bool empty() const noexcept { return !(west <= east && south <= north); }
};

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

void cutToBand(const Shape& shape, double south, double north, std::vector<BandRing>& band, Bounds& extent) {
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

}  // namespace

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
  Bounds extent;
  cutToBand(shape, cell.south, cell.north, band, extent);
  Ring scratch, clipped;
  return areaBetween(band, cell.west, cell.east, scratch, clipped);
}

ShapeWeights shapeWeights(const Shape& shape, const CellGrid& grid) {
  ShapeWeights result;
  Bounds bounds;
  for (const Polygon& polygon : shape.parts) {
    if (!polygon.rings.empty()) bounds.add(polygon.rings.front());
  }
  const double lonStep = exports::cellStepDegrees(grid.cellWidth);
  const double latStep = exports::cellStepDegrees(grid.cellHeight);
  if (bounds.empty() || !(lonStep > 0) || !(latStep > 0)) return result;
  // The cells that can meet the shape, with one cell to spare for the rounding of positions.
  const auto index = [](double offset, double step) { return static_cast<long>(std::floor(offset / step)); };
  const long firstRow = index(degrees(grid.northLat) - bounds.north, latStep) - 1;
  const long lastRow = index(degrees(grid.northLat) - bounds.south, latStep) + 2;
  const double west = degrees(grid.westLon);
  constexpr double kRadians = std::numbers::pi / 180;

  std::vector<BandRing> band;
  Ring scratch, clipped;
  for (long m = firstRow; m <= lastRow; ++m) {
    const CellRectangle rowCell = cellRectangle(grid, static_cast<int>(m), 0);
    Bounds extent;
    cutToBand(shape, rowCell.south, rowCell.north, band, extent);
    if (band.empty()) continue;
    const double cosine = std::cos(rowCell.centreLat * kRadians);
    const bool rowInGrid = m >= 0 && m < grid.rows;
    ShapeWeights::Run run{0, 0, 0};
    const auto closeRun = [&] {
      if (run.count > 0) result.runs.push_back(run);
      run.count = 0;
    };
    for (long n = index(extent.west - west, lonStep) - 1; n <= index(extent.east - west, lonStep) + 2; ++n) {
      const CellRectangle cell = cellRectangle(grid, static_cast<int>(m), static_cast<int>(n));
      const double area = areaBetween(band, cell.west, cell.east, scratch, clipped);
      const auto weight = static_cast<float>(area * cosine);
      if (!(weight > 0)) {
        closeRun();
        continue;
      }
      result.wholeWeight += weight;
      if (!rowInGrid || n < 0 || n >= grid.columns) continue;
      const auto cellIndex = static_cast<std::uint32_t>(m * grid.columns + n);
      if (run.count == 0 || run.firstCell + run.count != cellIndex) {
        closeRun();
        run = {cellIndex, 0, static_cast<std::uint32_t>(result.weights.size())};
      }
      result.weights.push_back(weight);
      ++run.count;
    }
    closeRun();
  }
  return result;
}

}  // namespace ombrix::gis
