// One viewer step over the 全国 window of the 2.5 km grid (1248 rows x 832 columns) on the
// viewer's 689 x 593 surface: load the frame, draw the rain map, draw the coastline over it.
// The reference does it plainly: one 2-byte ifstream read per value, one box per cell, and the
// base map re-read and re-projected point by point. Both draw the same picture.
#include <chrono>
#include <cmath>
#include <fstream>
#include <random>

#include "bench/bench_support.h"
#include "bench/viewer_bench_grid.h"
#include "core/analysis_conditions.h"
#include "core/byte_io.h"
#include "support/test_support.h"
#include "viewer/base_map.h"
#include "viewer/frame_loading.h"
#include "viewer/intensity_classes.h"
#include "viewer/map_renderer.h"
#include "viewer/rmd_opening.h"

namespace ombrix::bench {
namespace {

namespace fs = std::filesystem;

constexpr int kNationalIndex = 7;
constexpr int kFrames = 8;
constexpr int kWidth = 689;
constexpr int kHeight = 593;
constexpr const char* kFigure = "viewer step, 全国 2.5 km on 689 x 593";

// A coastline of about 100,000 points in polylines of 200 points, for when data/jp.map is absent.
core::Bytes syntheticBaseMap() {
  constexpr int kLines = 500;
  constexpr int kPoints = 200;
  std::mt19937 random(5);
  std::uniform_int_distribution<int> start(0, 1 << 30);
  std::uniform_int_distribution<int> step(-20'000, 20'000);
  core::Bytes bytes;
  core::appendI32LE(bytes, kLines);
  for (int k = 0; k < kLines; ++k) {
    for (int j = 0; j < 5; ++j) core::appendI32LE(bytes, 0);
    core::appendI32LE(bytes, kPoints);
    core::appendI32LE(bytes, 4 + 28 * kLines + 8 * kPoints * k);
  }
  for (int k = 0; k < kLines; ++k) {
    std::int32_t lon = 128'000'000 + start(random) % 18'000'000;
    std::int32_t lat = 26'000'000 + start(random) % 19'000'000;
    for (int j = 0; j < kPoints; ++j) {
      core::appendI32LE(bytes, lon += step(random));
      core::appendI32LE(bytes, lat += step(random));
    }
  }
  return bytes;
}

struct BenchSetup {
  test::TempDir dir;
  fs::path rmdPath = dir / "AJ20057012005701.RMD";
  fs::path mapPath = fs::path(OMBRIX_DATA_DIR) / "jp.map";
  core::AnalysisConditions conditions;

  BenchSetup() {
    writeRainFile(rmdPath, regionHeader(kNationalIndex, kFrames));
    if (!fs::exists(mapPath)) {
      mapPath = dir / "jp.map";
      test::writeBytes(mapPath, syntheticBaseMap());
    }
    const viewer::RmdOpening opening = viewer::openRmdFile(rmdPath, kWidth, kHeight);
    if (!opening.status) fail(message(opening.status));
    conditions.takeOpenedFile(opening.file.dataset(), opening.file.geometry, opening.file.areaName);
  }
};

BenchSetup& setup() {
  static BenchSetup instance;
  return instance;
}

// ---- The plain reference ----

void plainLoad(const core::AnalysisConditions& c, int i, std::vector<std::int16_t>& frameGrid) {
  std::ifstream in(c.file.path(), std::ios::binary);
  frameGrid.resize(c.file.header().cellCount());
  in.seekg(c.file.index()[static_cast<std::size_t>(i)].frameOffset);
  for (std::int16_t& value : frameGrid) {
    unsigned char bytes[2];
    in.read(reinterpret_cast<char*>(bytes), 2);
    value = static_cast<std::int16_t>(bytes[0] | (bytes[1] << 8));
  }
}

void fillBox(viewer::SurfaceView s, std::int64_t xa, std::int64_t ya, std::int64_t xb, std::int64_t yb,
             std::uint32_t colour) {
  for (std::int64_t y = std::max<std::int64_t>(std::min(ya, yb), 0); y <= std::min<std::int64_t>(std::max(ya, yb), s.height - 1); ++y) {
    for (std::int64_t x = std::max<std::int64_t>(std::min(xa, xb), 0); x <= std::min<std::int64_t>(std::max(xa, xb), s.width - 1); ++x) {
      s.row(static_cast<int>(y))[x] = colour;
    }
  }
}

std::int64_t corner(double units, float half, float zoom, float centre) {
  return static_cast<std::int64_t>(std::floor((units - half) * static_cast<double>(zoom) + centre));
}

void plainIntensityMap(const core::AnalysisConditions& c, viewer::SurfaceView s) {
  const viewer::ViewGeometry& g = c.geometry;
  const core::CellGrid& grid = c.file.grid();
  s.fill(viewer::kWhite.argb());
  for (int r = 0; r < c.file.header().gridRows; ++r) {
    for (int col = 0; col < c.file.header().gridCols; ++col) {
      const std::int16_t v = c.rainGrid[static_cast<std::size_t>(r) * c.file.header().gridCols + col];
      const std::uint32_t colour = viewer::classifyIntensity(v, c.file.header().noDataValue).colour.argb();
      fillBox(s, corner(double(col) * grid.cellWidth, g.mapHalfWidth, g.zoom, g.viewCenterX),
              corner(double(r) * grid.cellHeight, g.mapHalfHeight, g.zoom, g.viewCenterY),
              corner(double(col + 1) * grid.cellWidth, g.mapHalfWidth, g.zoom, g.viewCenterX),
              corner(double(r + 1) * grid.cellHeight, g.mapHalfHeight, g.zoom, g.viewCenterY), colour);
    }
  }
}

// Bresenham's line, every pixel tested against the surface.
void plainLine(viewer::SurfaceView s, std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1) {
  const std::int64_t adx = std::abs(x1 - x0), ady = std::abs(y1 - y0);
  const int sx = x1 < x0 ? -1 : 1, sy = y1 < y0 ? -1 : 1;
  const bool xMajor = adx >= ady;
  const std::int64_t major = xMajor ? adx : ady, minor = xMajor ? ady : adx;
  std::int64_t x = x0, y = y0, error = major;
  for (std::int64_t i = 0; i <= major; ++i) {
    if (x >= 0 && x < s.width && y >= 0 && y < s.height) s.row(static_cast<int>(y))[x] = viewer::kBlack.argb();
    error += 2 * minor;
    const bool minorStep = error >= 2 * major;
    if (minorStep) error -= 2 * major;
    if (xMajor) {
      x += sx;
      y += minorStep ? sy : 0;
    } else {
      y += sy;
      x += minorStep ? sx : 0;
    }
  }
}

std::int32_t readInt(std::ifstream& in) {
  unsigned char bytes[4] = {};
  in.read(reinterpret_cast<char*>(bytes), 4);
  return core::readI32LE(bytes);
}

void plainBaseMap(const fs::path& path, const core::AnalysisConditions& c, viewer::SurfaceView s) {
  std::ifstream in(path, std::ios::binary);
  const std::int32_t lines = readInt(in);
  const viewer::ViewGeometry& g = c.geometry;
  for (std::int32_t k = 0; k < lines; ++k) {
    in.seekg(4 + 28 * static_cast<std::streamoff>(k) + 20);
    const std::int32_t count = readInt(in);
    in.seekg(readInt(in));
    std::int64_t x = 0, y = 0;
    for (std::int32_t j = 0; j < count; ++j) {
      const std::int32_t lon = readInt(in);
      const std::int32_t lat = readInt(in);
      const std::int64_t nx = viewer::pointX(g, lon), ny = viewer::pointY(g, lat);
      if (j > 0) plainLine(s, x, y, nx, ny);
      x = nx;
      y = ny;
    }
  }
}

void plainStep(core::AnalysisConditions& c, const fs::path& mapPath, int i, std::vector<std::int16_t>& frameGrid,
               viewer::SurfaceView s) {
  plainLoad(c, i, frameGrid);
  c.rainGrid = frameGrid;
  plainIntensityMap(c, s);
  plainBaseMap(mapPath, c, s);
}

// ---- Benchmarks ----

double secondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_ViewerStep(benchmark::State& state) {
  BenchSetup& b = setup();
  viewer::RgbImage image(kWidth, kHeight);
  viewer::BaseMapOverlay overlay;
  std::vector<std::int16_t> frameGrid;
  core::RmdDataset file = b.conditions.openFileDataset();
  double total = 0;
  int frame = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    if (core::Status s = viewer::showFrame(file, frame, frameGrid, b.conditions.rainGrid, b.conditions.frameLabel); !s) {
      state.SkipWithError(message(s).c_str());
    }
    viewer::drawIntensityMap(viewer::mapLayerOf(b.conditions.rainGrid, b.conditions.file, b.conditions.geometry), image.view());
    overlay.draw(b.mapPath, b.conditions.geometry, image.view());
    total += secondsSince(start);
    frame = (frame + 1) % kFrames;
  }
  recordFigure(kFigure, "fast", total / static_cast<double>(state.iterations()));
}

void BM_ViewerStepReference(benchmark::State& state) {
  BenchSetup& b = setup();
  viewer::RgbImage image(kWidth, kHeight);
  std::vector<std::int16_t> frameGrid;
  double total = 0;
  int frame = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    plainStep(b.conditions, b.mapPath, frame, frameGrid, image.view());
    total += secondsSince(start);
    frame = (frame + 1) % kFrames;
  }
  recordFigure(kFigure, "reference", total / static_cast<double>(state.iterations()));
}

BENCHMARK(BM_ViewerStep)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ViewerStepReference)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The reference must draw what the viewer draws, or the ratio means nothing.
void checkSamePicture() {
  BenchSetup& b = setup();
  viewer::RgbImage fast(kWidth, kHeight), reference(kWidth, kHeight);
  std::vector<std::int16_t> frameGrid;
  viewer::BaseMapOverlay overlay;
  core::RmdDataset file = b.conditions.openFileDataset();
  if (core::Status s = viewer::showFrame(file, 3, frameGrid, b.conditions.rainGrid, b.conditions.frameLabel); !s) {
    fail(message(s));
  }
  viewer::drawIntensityMap(viewer::mapLayerOf(b.conditions.rainGrid, b.conditions.file, b.conditions.geometry), fast.view());
  overlay.draw(b.mapPath, b.conditions.geometry, fast.view());
  plainStep(b.conditions, b.mapPath, 3, frameGrid, reference.view());
  if (fast.pixels() != reference.pixels()) fail("the reference picture differs from the viewer's");
  std::printf("grid %d x %d cells, base map %s (%ju bytes)\n", b.conditions.file.header().gridRows,
              b.conditions.file.header().gridCols, b.mapPath.string().c_str(),
              static_cast<std::uintmax_t>(fs::file_size(b.mapPath)));
}

}  // namespace
}  // namespace ombrix::bench

int main(int argc, char** argv) { return ombrix::bench::runBenchmarks(argc, argv, ombrix::bench::checkSamePicture); }
