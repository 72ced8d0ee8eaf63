// The NetCDF export of one half-hourly day over the whole country on the 2.5 km sample grid
// (the sample archive preprocessed for 全国), against a plain reference that writes the same
// stored bytes uncompressed with one write() per frame. Both read every frame of the RMD file
// the same way; the figure is megabytes of stored cells (2 bytes each) per second of wall clock
// (the export compresses on worker threads; its CPU column counts every thread of the process).
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "core/analysis_conditions.h"
#include "core/period_check.h"
#include "core/preprocess_run.h"
#include "core/region_table.h"
#include "import/sample_archive.h"
#include "gis/netcdf_export.h"
#include "support/test_support.h"
#include "viewer/frame_loading.h"
#include "viewer/rmd_opening.h"

namespace ombrix::bench {
namespace {

namespace fs = std::filesystem;

constexpr const char* kFigure = "NetCDF export, 全国 2.5 km, 1 day half-hourly";
constexpr int kWholeCountry = 7;  // row of 全国 in the region table

void fail(const std::string& message) {
  std::fprintf(stderr, "%s\n", message.c_str());
  std::exit(1);
}

struct BenchFile {
  test::TempDir dir;
  core::AnalysisConditions conditions;
  double storedBytes = 0;

  BenchFile() {
    const fs::path archive = dir / "archive";
    if (core::Status s = import::makeSampleArchive(OMBRIX_DATA_DIR, archive, {2005, 7, 1, 1}); !s) fail(message(s));
    core::ArchiveSelection c;
    c.archiveDir = archive.string();
    c.areaName = std::string(core::regionTable()[kWholeCountry].name);
    const core::AreaBounds area = *core::regionPreset(kWholeCountry);
    c.area = area;
    if (!core::checkPeriod({{2005, 2005}, {7, 7}, {1, 1}}, c.archiveDir, c.period)) fail("no sample archive");
    const std::string rmd = core::outputRmdPath(c);
    if (core::Status s = core::runPreprocessing(c, rmd).status; !s) fail(message(s));
    const viewer::RmdOpening opening = viewer::openRmdFile(rmd, 800, 600);
    if (!opening.status) fail(message(opening.status));
    conditions.takeOpenedFile(opening.file.dataset(), opening.file.geometry, opening.file.areaName);
    storedBytes = 2.0 * conditions.file.header().frameCount * static_cast<double>(conditions.file.header().cellCount());
  }
};

BenchFile& benchFile() {
  static BenchFile instance;
  return instance;
}

// ---- The plain reference ----

void plainWrite(const core::AnalysisConditions& c, const fs::path& target) {
  const int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) fail("cannot create " + target.string());
  std::vector<std::int16_t> frame;
  core::RmdDataset file = c.openFileDataset();
  for (int k = 0; k < c.file.header().frameCount; ++k) {
    if (core::Status s = viewer::loadFrame(file, k, frame); !s) fail(message(s));
    const auto bytes = static_cast<ssize_t>(frame.size() * sizeof(std::int16_t));
    if (::write(fd, frame.data(), static_cast<std::size_t>(bytes)) != bytes) fail("write failed");
  }
  ::close(fd);
}

// ---- Benchmarks ----

double secondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Megabytes per second of each variant, for the speed ratio printed at the end.
std::map<std::string, double>& speeds() {
  static std::map<std::string, double> table;
  return table;
}

template <typename Write>
void measure(benchmark::State& state, const char* variant, const fs::path& target, Write write) {
  const BenchFile& file = benchFile();
  double total = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    write(file.conditions, target);
    total += secondsSince(start);
    state.PauseTiming();
    fs::remove(target);
    state.ResumeTiming();
  }
  const double iterations = static_cast<double>(state.iterations());
  state.counters["MB/s"] = speeds()[variant] = file.storedBytes * iterations / total / 1e6;
  recordFigure(kFigure, variant, total / iterations);
}

void exportCube(const core::AnalysisConditions& c, const fs::path& target) {
  core::RmdDataset file = c.openFileDataset();
  if (core::Status s = gis::exportOpenFileNetcdf(file, 0, c.file.header().frameCount - 1, target, {}); !s) fail(message(s));
}

void BM_NetcdfExport(benchmark::State& state) { measure(state, "fast", benchFile().dir / "cube.nc", exportCube); }

void BM_NetcdfExportReference(benchmark::State& state) {
  measure(state, "reference", benchFile().dir / "plain.bin", plainWrite);
}

BENCHMARK(BM_NetcdfExport)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_NetcdfExportReference)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime()->MeasureProcessCPUTime();

// The sizes the README quotes: stored cells, the RMD file and the NetCDF file.
void printSizes() {
  const BenchFile& file = benchFile();
  const fs::path cube = file.dir / "cube.nc";
  exportCube(file.conditions, cube);
  std::printf("grid %d x %d, %d frames: stored cells %.1f MB, RMD %.1f MB, NetCDF %.2f MB (%.1f %% of the RMD)\n",
              file.conditions.file.header().gridRows, file.conditions.file.header().gridCols, file.conditions.file.header().frameCount,
              file.storedBytes / 1e6, static_cast<double>(fs::file_size(file.conditions.file.path())) / 1e6,
              static_cast<double>(fs::file_size(cube)) / 1e6,
              100.0 * static_cast<double>(fs::file_size(cube)) /
                  static_cast<double>(fs::file_size(file.conditions.file.path())));
  fs::remove(cube);
}

void printSpeedRatio() {
  if (speeds().count("fast") == 0 || speeds().count("reference") == 0) return;
  std::printf("%s: %.0f MB/s, %.2f times the plain reference's %.0f MB/s\n", kFigure, speeds()["fast"],
              speeds()["fast"] / speeds()["reference"], speeds()["reference"]);
}

}  // namespace
}  // namespace ombrix::bench

int main(int argc, char** argv) {
  return ombrix::bench::runBenchmarks(argc, argv, ombrix::bench::printSizes, ombrix::bench::printSpeedRatio);
}
