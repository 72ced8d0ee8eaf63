#pragma once
// Areal rainfall over polygons, frame by frame: the weighted mean of the cells with data, and
// the share of the polygon's whole weight those cells carry (its coverage).
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/problem.h"
#include "core/time_stamp.h"
#include "gis/cell_weights.h"

namespace ombrix::gis {

struct ArealValue {
  double mean = 0;      // mm/h; NaN when no cell of the polygon has data
  double coverage = 0;  // 0 .. 1
};

// One frame: sum of w x v over sum of w for the cells whose value is at least 0.
ArealValue arealValue(const ShapeWeights& weights, std::span<const std::int16_t> cells) noexcept;

struct ArealTable {
  std::vector<std::string> names;
  int framesPerHour = 1;
  std::vector<core::TimeStamp> times;  // one per frame
  std::vector<ArealValue> values;      // frame-major: frame f, polygon p at f x names.size() + p
  std::size_t frameCount() const noexcept { return times.size(); }
  const ArealValue& at(std::size_t frame, std::size_t polygon) const { return values[frame * names.size() + polygon]; }
};

// The weights of every polygon, prepared once, and the table they fill frame by frame.
class ArealComputation {
 public:
  // Refused (PolygonOutsideGrid) when a polygon has no cell in the grid.
  core::Status prepare(const std::vector<Shape>& shapes, const CellGrid& grid, int framesPerHour);
  // cells: the whole grid of one frame, row-major, or after listCellsRead() the listed cells.
  void addFrame(const core::TimeStamp& time, std::span<const std::int16_t> cells);
  // The cells of the grid some polygon weighs (row-major indices, each once, ascending), which
  // are then all addFrame takes of a frame, in this order.
  std::vector<std::uint32_t> listCellsRead();
  const ArealTable& table() const noexcept { return table_; }
  // After listCellsRead(), the runs' first cells are places in that list.
  const std::vector<ShapeWeights>& weights() const noexcept { return weights_; }

 private:
  std::vector<ShapeWeights> weights_;
  ArealTable table_;
};

}  // namespace ombrix::gis
