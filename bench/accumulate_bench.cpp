// Accumulating a month of half-hourly frames (31 days, 1,488 frames) over the 関東 window of
// the 2.5 km grid, against a plain reference: one 2-byte ifstream read per value, added cell by
// cell. Both give the same field.
#include <chrono>
#include <fstream>

#include "bench/bench_support.h"
#include "bench/viewer_bench_grid.h"
#include "support/test_support.h"
#include "viewer/frame_accumulation.h"
#include "viewer/rmd_opening.h"

namespace ombrix::bench {
namespace {

namespace fs = std::filesystem;

constexpr int kFrames = 31 * kPerDay;
constexpr const char* kFigure = "accumulation, 関東 2.5 km, 1,488 half-hourly frames";

struct BenchFile {
  test::TempDir dir;
  fs::path path = dir / "Ka20057012005731.RMD";
  core::RmdDataset dataset;

  BenchFile() {
    writeRainFile(path, regionHeader(kKantoRegion, kFrames));
    const viewer::RmdOpening opening = viewer::openRmdFile(path, 689, 593);
    if (!opening.status) fail(message(opening.status));
    dataset = opening.file.dataset();
  }
};

BenchFile& benchFile() {
  static BenchFile instance;
  return instance;
}

// ---- The plain reference ----

void plainAccumulate(const core::RmdDataset& file, int s, int e, std::vector<std::int16_t>& field) {
  field.assign(file.header().cellCount(), 0);
  for (int k = s; k <= e; ++k) {
    std::ifstream in(file.path(), std::ios::binary);
    in.seekg(file.index()[static_cast<std::size_t>(k)].frameOffset);
    for (std::int16_t& cell : field) {
      unsigned char bytes[2];
      in.read(reinterpret_cast<char*>(bytes), 2);
      const auto value = static_cast<std::int16_t>(bytes[0] | (bytes[1] << 8));
      if (k == s) {
        cell = value;
      } else if (value > 0) {
        cell = static_cast<std::int16_t>(std::min(cell + value, 32767));
      }
    }
  }
}

// ---- Benchmarks ----

double secondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_Accumulate(benchmark::State& state) {
  const BenchFile& file = benchFile();
  std::vector<std::int16_t> field;
  int yields = 0;
  viewer::FoldCallbacks callbacks;
  callbacks.steps.yield = [&] { ++yields; };
  double total = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    core::RmdDataset dataset = file.dataset;
    if (core::Status s = viewer::accumulateFrames(dataset, 0, kFrames - 1, field, callbacks); !s) {
      state.SkipWithError(message(s).c_str());
    }
    total += secondsSince(start);
  }
  recordFigure(kFigure, "fast", total / static_cast<double>(state.iterations()));
}

void BM_AccumulateReference(benchmark::State& state) {
  const BenchFile& file = benchFile();
  std::vector<std::int16_t> field;
  double total = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    plainAccumulate(file.dataset, 0, kFrames - 1, field);
    total += secondsSince(start);
  }
  recordFigure(kFigure, "reference", total / static_cast<double>(state.iterations()));
}

BENCHMARK(BM_Accumulate)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BM_AccumulateReference)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// The reference must compute what the viewer computes, or the ratio means nothing.
void checkSameField() {
  const BenchFile& file = benchFile();
  std::vector<std::int16_t> fast, reference;
  core::RmdDataset dataset = file.dataset;
  if (core::Status s = viewer::accumulateFrames(dataset, 0, kFrames - 1, fast); !s) fail(message(s));
  plainAccumulate(file.dataset, 0, kFrames - 1, reference);
  if (fast != reference) fail("the reference field differs from the viewer's");
  std::printf("grid %d x %d cells, %d frames, file %.0f MB\n", file.dataset.header().gridRows,
              file.dataset.header().gridCols, kFrames, static_cast<double>(fs::file_size(file.path)) / 1e6);
}

}  // namespace
}  // namespace ombrix::bench

int main(int argc, char** argv) { return ombrix::bench::runBenchmarks(argc, argv, ombrix::bench::checkSameField); }
