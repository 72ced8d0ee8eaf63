// The whole-period CSV export of three half-hourly days over the 関東 window of the 2.5 km grid
// (241 rows x 145 columns), against a plain reference: one 2-byte read from an ifstream per
// value and formatted std::ofstream output. Both write the same bytes.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "bench/viewer_bench_grid.h"
#include "core/analysis_conditions.h"
#include "core/rmd_file.h"
#include "export/period_export.h"
#include "support/test_support.h"
#include "viewer/rmd_opening.h"

namespace ombrix::bench {
namespace {

namespace fs = std::filesystem;

constexpr int kDays = 3;
constexpr const char* kFigure = "whole-period CSV, 関東 2.5 km, 3 days half-hourly";

struct BenchFile {
  test::TempDir dir;
  fs::path path = dir / "Ka20057012005703.RMD";
  core::AnalysisConditions conditions;

  BenchFile() {
    writeRainFile(path, regionHeader(kKantoRegion, kDays * kPerDay));
    const viewer::RmdOpening opening = viewer::openRmdFile(path, 800, 600);
    if (!opening.status) fail(message(opening.status));
    conditions.takeOpenedFile(opening.file.dataset(), opening.file.geometry, opening.file.areaName);
  }
};

BenchFile& benchFile() {
  static BenchFile instance;
  return instance;
}

std::uintmax_t folderBytes(const fs::path& folder) {
  std::uintmax_t bytes = 0;
  for (const auto& entry : fs::directory_iterator(folder)) bytes += entry.file_size();
  return bytes;
}

// ---- The plain reference ----

void plainExport(const core::AnalysisConditions& c, const fs::path& folder) {
  fs::create_directory(folder);
  std::ifstream in(c.file.path(), std::ios::binary);
  std::ofstream list(folder / "FileList.txt", std::ios::binary);
  const float keido0 = static_cast<float>(static_cast<double>(static_cast<float>(c.file.header().fileWestLon)) / 1e6);
  const float ido0 = static_cast<float>(static_cast<double>(static_cast<float>(c.file.header().fileNorthLat)) / 1e6);
  const double dKeido = static_cast<double>(static_cast<float>(c.file.grid().cellWidth)) / 1e6;
  const double dIdo = static_cast<double>(static_cast<float>(c.file.grid().cellHeight)) / 1e6;
  const auto two = [](int v) {
    std::string text = std::to_string(v);
    if (v < 10) text.insert(text.begin(), '0');
    return text;
  };
  for (int b = 0; b < c.file.header().frameCount / kPerDay; ++b) {
    const int first = b * kPerDay;
    const std::string name = std::to_string(c.file.index()[first].stamp.year) + two(c.file.index()[first].stamp.month) +
                             two(c.file.index()[first].stamp.day) + ".CSV";
    list << name << "\r\n";
    std::ofstream out(folder / name, std::ios::binary);
    out << std::setprecision(7);
    out << "ID,M,N,Keido,Ido";
    for (int k = first; k < first + kPerDay; ++k) {
      out << "," << two(c.file.index()[k].stamp.hour) << ":" << two(c.file.index()[k].stamp.minute);
    }
    out << "\r\n";
    for (int m = 0; m < c.file.header().gridRows; ++m) {
      for (int n = 0; n < c.file.header().gridCols; ++n) {
        const int id = n + c.file.header().gridCols * m;
        out << id << "," << m << "," << n << "," << static_cast<float>(keido0 + n * dKeido) << ","
            << static_cast<float>(ido0 - m * dIdo);
        for (int k = first; k < first + kPerDay; ++k) {
          unsigned char bytes[2];
          in.seekg(static_cast<std::streamoff>(c.file.index()[k].frameOffset) + 2 * id);
          in.read(reinterpret_cast<char*>(bytes), 2);
          out << "," << static_cast<std::int16_t>(bytes[0] | (bytes[1] << 8));
        }
        out << "\r\n";
      }
    }
  }
}

// ---- Benchmarks ----

double secondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_PeriodExport(benchmark::State& state) {
  const BenchFile& file = benchFile();
  double total = 0;
  std::uintmax_t bytes = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    const exports::PeriodExportResult result = exports::exportPeriod(file.conditions.openFileDataset(), "関東", 1000);
    total += secondsSince(start);
    if (!result.status) state.SkipWithError(message(result.status).c_str());
    state.PauseTiming();
    bytes = folderBytes(result.folder);
    fs::remove_all(result.folder);
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes * state.iterations()));
  state.counters["MB/s"] = static_cast<double>(bytes) * static_cast<double>(state.iterations()) / total / 1e6;
  recordFigure(kFigure, "fast", total / static_cast<double>(state.iterations()));
}

void BM_PeriodExportReference(benchmark::State& state) {
  const BenchFile& file = benchFile();
  const fs::path folder = file.dir / "reference";
  double total = 0;
  std::uintmax_t bytes = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    plainExport(file.conditions, folder);
    total += secondsSince(start);
    state.PauseTiming();
    bytes = folderBytes(folder);
    fs::remove_all(folder);
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes * state.iterations()));
  state.counters["MB/s"] = static_cast<double>(bytes) * static_cast<double>(state.iterations()) / total / 1e6;
  recordFigure(kFigure, "reference", total / static_cast<double>(state.iterations()));
}

BENCHMARK(BM_PeriodExport)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_PeriodExportReference)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The reference must write what the export writes, or the ratio means nothing.
void checkSameBytes() {
  const BenchFile& file = benchFile();
  const exports::PeriodExportResult result = exports::exportPeriod(file.conditions.openFileDataset(), "関東", 1000);
  if (!result.status) fail(message(result.status));
  const fs::path reference = file.dir / "reference";
  plainExport(file.conditions, reference);
  for (const auto& entry : fs::directory_iterator(result.folder)) {
    if (test::readBytes(entry.path()) != test::readBytes(reference / entry.path().filename())) {
      fail("reference output differs in " + entry.path().filename().string());
    }
  }
  std::printf("CSV set: %.1f MB in %d day files\n", static_cast<double>(folderBytes(result.folder)) / 1e6, kDays);
  fs::remove_all(result.folder);
  fs::remove_all(reference);
}

}  // namespace
}  // namespace ombrix::bench

int main(int argc, char** argv) { return ombrix::bench::runBenchmarks(argc, argv, ombrix::bench::checkSameBytes); }
