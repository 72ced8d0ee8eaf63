#include "gis/areal_series.h"

#include <algorithm>
#include <cmath>
#include <limits>


namespace ombrix::gis {

namespace {

// Sums of one run, lane by lane, so the loop vectorises. In double precision, each product of a
// weight and a stored value is exact, so equal rainfall gives equal means to far below what is
// printed (a polygon inside one cell gives the cell's value itself).
struct RunSums {
  double weightedValues = 0;
  double weights = 0;
};

RunSums sumRun(const float* weights, const std::int16_t* values, std::uint32_t count) noexcept {
  double weighted = 0;
  double weightSum = 0;
  for (std::uint32_t i = 0; i < count; ++i) {
    const double value = values[i];
    const double weight = values[i] >= 0 ? weights[i] : 0.0;
    weighted += weight * value;
    weightSum += weight;
  }
  return {weighted, weightSum};
}

}  // namespace

ArealValue arealValue(const ShapeWeights& weights, std::span<const std::int16_t> cells) noexcept {
  RunSums total;
  for (const ShapeWeights::Run& run : weights.runs) {
    const RunSums sums = sumRun(weights.weights.data() + run.weightStart, cells.data() + run.firstCell, run.count);
    total.weightedValues += sums.weightedValues;
    total.weights += sums.weights;
  }
  if (!(total.weights > 0)) return {std::numeric_limits<double>::quiet_NaN(), 0};
  return {total.weightedValues / total.weights * 0.1, total.weights / weights.wholeWeight};
}

core::Status ArealComputation::prepare(const std::vector<Shape>& shapes, const CellGrid& grid, int framesPerHour) {
  weights_.clear();
  table_ = {};
  table_.framesPerHour = framesPerHour;
  for (const Shape& shape : shapes) {
    ShapeWeights weights = shapeWeights(shape, grid);
    if (weights.empty()) return {core::Problem::PolygonOutsideGrid, {}, {.name = shape.name}};
    weights_.push_back(std::move(weights));
    table_.names.push_back(shape.name);
  }
  return {};
}

std::vector<std::uint32_t> ArealComputation::listCellsRead() {
  std::vector<std::uint32_t> cells;
  for (const ShapeWeights& weights : weights_) {
    for (const ShapeWeights::Run& run : weights.runs) {
      for (std::uint32_t c = run.firstCell; c < run.firstCell + run.count; ++c) cells.push_back(c);
    }
  }
  std::ranges::sort(cells);
  cells.erase(std::unique(cells.begin(), cells.end()), cells.end());
  // A run's cells are consecutive in the list as in the grid, since the list holds each of them.
  for (ShapeWeights& weights : weights_) {
    for (ShapeWeights::Run& run : weights.runs) {
      run.firstCell = static_cast<std::uint32_t>(std::ranges::lower_bound(cells, run.firstCell) - cells.begin());
    }
  }
  return cells;
}

void ArealComputation::addFrame(const core::TimeStamp& time, std::span<const std::int16_t> cells) {
  table_.times.push_back(time);
  for (const ShapeWeights& weights : weights_) table_.values.push_back(arealValue(weights, cells));
}

}  // namespace ombrix::gis
