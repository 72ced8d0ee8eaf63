// Areal rainfall of 10 basin-like polygons over a day of half-hourly frames: the 関東 window of
// the 1 km grid and the 全国 window of the 2.5 km grid, frames in memory, one core. The fast path
// prepares each polygon's cell weights once and sums weight x value over them per frame; the
// plain reference recomputes the exact intersection of every cell of the polygon's extent with
// the polygon for every frame. Both give the same means. A third figure runs the whole command
// path on the 全国 day read from its RMD file. Times are thread CPU time and include preparing
// the weights.
#include <time.h>

#include <cmath>
#include <numbers>

#include "bench/bench_support.h"
#include "bench/viewer_bench_grid.h"
#include "gis/areal_run.h"
#include "gis/areal_series.h"
#include "gis/cell_weights.h"
#include "support/test_support.h"

namespace ombrix::bench {
namespace {

namespace fs = std::filesystem;

constexpr core::GridDescription kNational1km{47'995'833, 118'006'250, 12'500, 8'333, 2560, 3360};
constexpr int kPolygons = 10;

int regionIndex(std::string_view name) {
  for (int i = 0; i < core::kRegionCount; ++i) {
    if (core::regionTable()[static_cast<std::size_t>(i)].name == name) return i;
  }
  fail("no region " + std::string(name));
}

core::RmdHeader windowHeader(const core::GridDescription& grid, std::string_view region, int frames) {
  return regionHeader(regionIndex(region), frames, grid);
}

// Ten wobbly 48-vertex outlines of 0.3 to 0.7 degrees across, spread over the window, each with
// a concave notch, so that many cells are cut by the outline.
std::vector<gis::Shape> basins(const gis::CellGrid& grid) {
  const double west = grid.westLon / 1e6, north = grid.northLat / 1e6;
  const double width = grid.columns * grid.cellWidth / 1e6, height = grid.rows * grid.cellHeight / 1e6;
  std::vector<gis::Shape> shapes;
  for (int p = 0; p < kPolygons; ++p) {
    const double cx = west + width * (0.15 + 0.7 * ((p * 37) % 10) / 10.0);
    const double cy = north - height * (0.15 + 0.7 * ((p * 61) % 10) / 10.0);
    const double radius = 0.15 + 0.02 * p;
    gis::Ring ring;
    for (int v = 0; v < 48; ++v) {
      const double angle = 2 * std::numbers::pi * v / 48;
      const double r = radius * (1 + 0.25 * std::sin(5 * angle + p) - (v == 12 ? 0.6 : 0));
      ring.push_back({cx + r * std::cos(angle), cy + r * std::sin(angle)});
    }
    shapes.push_back({"basin " + std::to_string(p + 1), {gis::Polygon{{ring}}}});
  }
  return shapes;
}

struct Day {
  std::string figure;
  gis::CellGrid grid;
  std::vector<gis::Shape> shapes;
  std::vector<std::vector<std::int16_t>> frames;
  std::size_t cells() const { return static_cast<std::size_t>(grid.rows) * static_cast<std::size_t>(grid.columns); }
};

Day makeDay(const core::GridDescription& national, std::string_view region, std::string figure) {
  const core::RmdHeader h = windowHeader(national, region, kPerDay);
  Day day{std::move(figure), {h.fileWestLon, h.fileNorthLat, h.cellLonStep, h.cellLatStep, h.gridCols, h.gridRows},
          {}, {}};
  day.shapes = basins(day.grid);
  for (int k = 0; k < kPerDay; ++k) {
    std::vector<std::int16_t> cells(day.cells());
    for (int r = 0; r < h.gridRows; ++r) {
      for (int c = 0; c < h.gridCols; ++c) cells[static_cast<std::size_t>(r) * h.gridCols + c] = rainAt(k, r, c, h.gridCols);
    }
    day.frames.push_back(std::move(cells));
  }
  return day;
}

Day& kanto1km() {
  static Day day = makeDay(kNational1km, "関東", "areal means, 10 polygons, 関東 1 km, 48 frames");
  return day;
}

Day& national25km() {
  static Day day = makeDay(kNationalGrid, "全国", "areal means, 10 polygons, 全国 2.5 km, 48 frames");
  return day;
}

// ---- The two computations ----

std::vector<double> fastMeans(const Day& day) {
  gis::ArealComputation computation;
  if (core::Status s = computation.prepare(day.shapes, day.grid, 2); !s) fail(message(s));
  for (const auto& frame : day.frames) computation.addFrame({}, frame);
  std::vector<double> means;
  for (const gis::ArealValue& v : computation.table().values) means.push_back(v.mean);
  return means;
}

// Every frame: for every cell of the polygon's extent, the exact area of the polygon in the cell.
std::vector<double> referenceMeans(const Day& day) {
  std::vector<double> means;
  for (const auto& frame : day.frames) {
    for (const gis::Shape& shape : day.shapes) {
      double west = 1e9, east = -1e9, south = 1e9, north = -1e9;
      for (const gis::LonLat& p : shape.parts[0].rings[0]) {
        west = std::min(west, p.lon), east = std::max(east, p.lon);
        south = std::min(south, p.lat), north = std::max(north, p.lat);
      }
      const double lonStep = day.grid.cellWidth / 1e6, latStep = day.grid.cellHeight / 1e6;
      const int c0 = std::max(0, static_cast<int>((west - day.grid.westLon / 1e6) / lonStep) - 1);
      const int c1 = std::min(day.grid.columns - 1, static_cast<int>((east - day.grid.westLon / 1e6) / lonStep) + 1);
      const int r0 = std::max(0, static_cast<int>((day.grid.northLat / 1e6 - north) / latStep) - 1);
      const int r1 = std::min(day.grid.rows - 1, static_cast<int>((day.grid.northLat / 1e6 - south) / latStep) + 1);
      double weighted = 0, weights = 0;
      for (int r = r0; r <= r1; ++r) {
        for (int c = c0; c <= c1; ++c) {
          const gis::CellRectangle cell = gis::cellRectangle(day.grid, r, c);
          const double w = gis::areaInside(shape, cell) * std::cos(cell.centreLat * std::numbers::pi / 180);
          const std::int16_t v = frame[static_cast<std::size_t>(r) * day.grid.columns + c];
          if (w > 0 && v >= 0) weighted += w * v, weights += w;
        }
      }
      means.push_back(weights > 0 ? weighted / weights * 0.1 : std::nan(""));
    }
  }
  return means;
}

// Thread CPU time: the figures are for one core, whatever else the machine runs.
double threadSeconds() noexcept {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

template <Day& (*DayOf)(), bool Reference>
void BM_Areal(benchmark::State& state) {
  const Day& day = DayOf();
  double total = 0;
  for (auto _ : state) {
    const double start = threadSeconds();
    benchmark::DoNotOptimize(Reference ? referenceMeans(day) : fastMeans(day));
    total += threadSeconds() - start;
  }
  const double perIteration = total / static_cast<double>(state.iterations());
  state.counters["grid_cells_per_s"] = static_cast<double>(day.cells() * day.frames.size()) / perIteration;
  recordFigure(day.figure, Reference ? "reference" : "fast", perIteration);
}

BENCHMARK(BM_Areal<kanto1km, false>)->Name("areal/kanto_1km")->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_Areal<kanto1km, true>)->Name("areal/kanto_1km/reference")->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_Areal<national25km, false>)->Name("areal/national_2.5km")->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_Areal<national25km, true>)
    ->Name("areal/national_2.5km/reference")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// The command's whole path on the 全国 day: frames read from the RMD file (warm cache).
void BM_ArealFromRmd(benchmark::State& state) {
  static test::TempDir dir;
  static const fs::path path = dir / "AJ20057012005701.RMD";
  const Day& day = national25km();
  if (!fs::exists(path)) writeRainFile(path, windowHeader(kNationalGrid, "全国", kPerDay));
  core::RmdDataset file;
  if (core::Status opened = file.open(path); !opened) fail(message(opened));
  double total = 0;
  for (auto _ : state) {
    gis::ArealComputation computation;
    const double start = threadSeconds();
    if (core::Status s = gis::arealOverOpenFile(file, day.shapes, 0, kPerDay - 1, computation); !s) {
      state.SkipWithError(message(s).c_str());
    }
    total += threadSeconds() - start;
  }
  const double perIteration = total / static_cast<double>(state.iterations());
  state.counters["grid_cells_per_s"] = static_cast<double>(day.cells() * kPerDay) / perIteration;
}
BENCHMARK(BM_ArealFromRmd)->Name("areal/national_2.5km/from_rmd")->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The reference must give the same means, or the ratio means nothing; prints the sizes.
void checkSameMeans(const Day& day) {
  const std::vector<double> fast = fastMeans(day), reference = referenceMeans(day);
  for (std::size_t i = 0; i < fast.size(); ++i) {
    if (std::isnan(fast[i]) != std::isnan(reference[i]) ||
        (!std::isnan(fast[i]) && std::abs(fast[i] - reference[i]) > 1e-4 * std::max(1.0, std::abs(reference[i])))) {
      fail(day.figure + ": the reference means differ");
    }
  }
  gis::ArealComputation computation;
  if (core::Status s = computation.prepare(day.shapes, day.grid, 2); !s) fail(message(s));
  std::size_t weighted = 0;
  for (const auto& w : computation.weights()) weighted += w.weights.size();
  std::printf("%s: grid %d x %d cells, %zu weighted cells in all polygons\n", day.figure.c_str(), day.grid.rows,
              day.grid.columns, weighted);
}

}  // namespace
}  // namespace ombrix::bench

int main(int argc, char** argv) {
  return ombrix::bench::runBenchmarks(argc, argv, [] {
    ombrix::bench::checkSameMeans(ombrix::bench::kanto1km());
    ombrix::bench::checkSameMeans(ombrix::bench::national25km());
  });
}
