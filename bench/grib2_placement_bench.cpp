// The placement pass of the GRIB2 sources: every file of a folder of a week of half-hourly
// copies of the two real fields placed in its half hour by its header (Grib2Frames::plan, the
// pass import-grib2 makes too), against the plain reference: each file read whole and its
// header decoded, as the placement read them before. Measured with the folder's pages dropped
// from the page cache before each pass (cold, as for a decade that the cache cannot hold) and
// kept there (warm). Prints ms per file and, per file, the bytes asked of the files and those
// read from the disk (the process's I/O counters).
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include "bench/bench_support.h"
#include "core/input_file.h"
#include "core/region_table.h"
#include "import/grib2_frames.h"
#include "import/grib2_import.h"
#include "support/grib2_restamp.h"
#include "support/test_support.h"

namespace ombrix::bench {
namespace {

namespace fs = std::filesystem;

constexpr int kFiles = 7 * 48;

struct Folder {
  test::TempDir dir;
  std::vector<fs::path> files = test::writeHalfHours(dir.path(), kFiles);
  Folder() { ::sync(); }
};

const Folder& folder() {
  static const Folder made;
  return made;
}

// Drops the folder's files from the page cache (their pages are clean once synced).
void dropFromCache() {
  for (const fs::path& file : folder().files) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    if (fd >= 0) ::close(fd);
  }
}

// The process's counter of that name in /proc/self/io: bytes asked of read calls ("rchar") or
// read from the disk ("read_bytes").
double ioCounter(const std::string& name) {
  std::ifstream io("/proc/self/io");
  std::string key;
  double value = 0;
  while (io >> key >> value) {
    if (key == name + ":") return value;
  }
  return 0;
}

void placeAll() {
  core::FrameRequest request;
  request.period = {{2020, 2020}, {7, 7}, {1, 7}};
  request.grib2Inputs = {folder().dir.path()};
  request.utc = true;
  import::Grib2Frames source(request);
  core::AreaFrameLayout layout;
  if (!source.plan(*core::regionPreset(7), layout)) std::fprintf(stderr, "the files were not placed\n");
}

void readAllWhole() {
  std::vector<core::Status> problems;
  import::Grib2Field field;
  for (const fs::path& file : import::collectGrib2Files(std::vector{folder().dir.path()}, problems)) {
    const std::optional<core::Bytes> bytes = core::readWholeFile(file);
    if (!bytes || import::decodeGrib2Field(*bytes, field, import::Grib2Content::HeaderOnly) != core::Problem::None) {
      std::fprintf(stderr, "%s was not read\n", file.c_str());
    }
  }
}

template <bool Cold>
void runPlacement(benchmark::State& state, void (*pass)(), const char* variant) {
  double seconds = 0;
  double asked = 0;
  double fromDisk = 0;
  for (auto _ : state) {
    if (Cold) dropFromCache();
    const double asked0 = ioCounter("rchar");
    const double disk0 = ioCounter("read_bytes");
    const auto start = std::chrono::steady_clock::now();
    pass();
    const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.SetIterationTime(took);
    seconds += took;
    asked += ioCounter("rchar") - asked0;
    fromDisk += ioCounter("read_bytes") - disk0;
  }
  const double files = static_cast<double>(state.iterations()) * kFiles;
  state.counters["ms_per_file"] = seconds / files * 1e3;
  state.counters["KB_asked_per_file"] = asked / files / 1e3;
  state.counters["KB_from_disk_per_file"] = fromDisk / files / 1e3;
  recordFigure(std::string("placement of a week of files, ") + (Cold ? "cold" : "warm") + " cache", variant,
               seconds / static_cast<double>(state.iterations()));
}

template <bool Cold>
void BM_Place(benchmark::State& state) {
  runPlacement<Cold>(state, placeAll, "fast");
}

template <bool Cold>
void BM_ReadWhole(benchmark::State& state) {
  runPlacement<Cold>(state, readAllWhole, "reference");
}

BENCHMARK(BM_Place<true>)->Name("placement/cold")->Unit(benchmark::kMillisecond)->Iterations(5)->UseManualTime();
BENCHMARK(BM_ReadWhole<true>)->Name("placement/cold/reference")->Unit(benchmark::kMillisecond)->Iterations(5)->UseManualTime();
BENCHMARK(BM_Place<false>)->Name("placement/warm")->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseManualTime();
BENCHMARK(BM_ReadWhole<false>)->Name("placement/warm/reference")->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseManualTime();

}  // namespace
}  // namespace ombrix::bench

int main(int argc, char** argv) {
  return ombrix::bench::runBenchmarks(argc, argv, [] { ombrix::bench::folder(); });
}
