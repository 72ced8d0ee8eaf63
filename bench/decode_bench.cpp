// Decoding one day of 48 half-hourly national records (1024 x 1344 cells) from memory, against
// a plain byte-at-a-time decoder that checks bounds on every cell; and encoding that day.
// Decoding figures are thread CPU time.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "bench/bench_support.h"
#include "core/rap_archive.h"
#include "core/rap_encoder.h"

namespace ombrix::bench {
namespace {

using core::Problem;
using core::GridDescription;
using core::RunEntry;

const GridDescription kNationalGrid{47989583, 118015625, 31250, 20833, 1024, 1344};
constexpr int kRecords = 48;

// Rain rate in 0.1 mm/h of each level: fine steps for light rain, coarser ones for heavy rain.
const std::vector<std::int16_t> kLadder = [] {
  std::vector<std::int16_t> ladder{0};
  for (int v = 5; v < 100; v += 5) ladder.push_back(static_cast<std::int16_t>(v));
  for (int v = 100; v < 500; v += 20) ladder.push_back(static_cast<std::int16_t>(v));
  for (int v = 500; v <= 2500; v += 100) ladder.push_back(static_cast<std::int16_t>(v));
  return ladder;
}();

// Land and the sea within radar reach: ellipses along an arc from the south-west to the north-east.
std::vector<bool> coverage() {
  const int nx = kNationalGrid.nx;
  const int ny = kNationalGrid.ny;
  std::vector<bool> covered(kNationalGrid.cellCount(), false);
  for (int e = 0; e < 9; ++e) {
    const double t = e / 8.0;
    const double cx = 180 + 700 * t + 60 * std::sin(6 * t);
    const double cy = 1200 - 1000 * t;
    const double a = 150 + 40 * (e % 3);
    const double b = 95 + 25 * (e % 2);
    const double angle = -0.9 + 0.3 * std::cos(5 * t);
    const double ca = std::cos(angle);
    const double sa = std::sin(angle);
    for (int r = std::max(0, static_cast<int>(cy - a)); r < std::min(ny, static_cast<int>(cy + a)); ++r) {
      for (int c = std::max(0, static_cast<int>(cx - a)); c < std::min(nx, static_cast<int>(cx + a)); ++c) {
        const double u = ((c - cx) * ca + (r - cy) * sa) / a;
        const double v = (-(c - cx) * sa + (r - cy) * ca) / b;
        if (u * u + v * v < 1) covered[static_cast<std::size_t>(r) * nx + c] = true;
      }
    }
  }
  return covered;
}

// A small deterministic disturbance of each cell's rate, as radar fields have.
double texture(std::size_t cell, int record) noexcept {
  std::uint32_t h = static_cast<std::uint32_t>(cell) * 2654435761u ^ static_cast<std::uint32_t>(record) * 40503u;
  h ^= h >> 15;
  h *= 2246822519u;
  h ^= h >> 13;
  return 0.92 + 0.16 * (h & 0xFFFF) / 65535.0;
}

// Rain cells of different size and strength drifting north-east through the day.
std::vector<std::int16_t> rainField(int record, const std::vector<bool>& covered) {
  const int nx = kNationalGrid.nx;
  const int ny = kNationalGrid.ny;
  std::vector<double> rate(covered.size(), 0.0);
  for (int k = 0; k < 14; ++k) {
    const double sigma = 12 + (k * 23) % 50;
    const double peak = 30 + (k * 397) % 900;
    const double cx = std::fmod(100 + 73.0 * k + 5.0 * record, nx);
    const double cy = std::fmod(1250 - 91.0 * k - 4.0 * record + 2 * ny, ny);
    const int reach = static_cast<int>(3 * sigma);
    for (int r = std::max(0, static_cast<int>(cy) - reach); r < std::min(ny, static_cast<int>(cy) + reach); ++r) {
      for (int c = std::max(0, static_cast<int>(cx) - reach); c < std::min(nx, static_cast<int>(cx) + reach); ++c) {
        const double d2 = (c - cx) * (c - cx) + (r - cy) * (r - cy);
        rate[static_cast<std::size_t>(r) * nx + c] += peak * std::exp(-d2 / (2 * sigma * sigma));
      }
    }
  }
  std::vector<std::int16_t> values(covered.size());
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (!covered[i]) {
      values[i] = -1;
      continue;
    }
    const double v = rate[i] * texture(i, record);
    values[i] = *(std::upper_bound(kLadder.begin(), kLadder.end(), v) - 1);
  }
  return values;
}

// The day as records of values and as one parsed archive file.
struct BenchDay {
  std::vector<core::ArchiveRecord> records;
  core::ArchiveFile file;
  std::size_t streamBytes = 0;

  BenchDay() {
    const std::vector<bool> covered = coverage();
    for (int j = 0; j < kRecords; ++j) {
      records.push_back({{2005, 6, 1, static_cast<std::uint8_t>(j / 2), static_cast<std::uint8_t>(j % 2 * 30)},
                         rainField(j, covered)});
    }
    core::Bytes bytes;
    if (core::Status s = core::encodeArchive(kNationalGrid, records, bytes); !s) fail(message(s));
    streamBytes = bytes.size();
    if (core::Status s = file.parse(std::move(bytes), "bench.RAP"); !s) fail(message(s));
  }

  std::span<const std::uint8_t> stream(std::size_t j) const { return file.recordStream(j); }

  [[noreturn]] static void fail(const std::string& message) {
    std::fprintf(stderr, "%s\n", message.c_str());
    std::exit(1);
  }
};

const BenchDay& day() {
  static const BenchDay instance;
  return instance;
}

// The plain decoder: one byte and one cell at a time, every table index and cell checked.
Problem plainDecode(std::span<const std::uint8_t> stream, std::span<const std::int16_t> levels,
                    std::span<const RunEntry> runs, std::span<std::int16_t> cells) {
  std::size_t at = 0;
  std::size_t filled = 0;
  auto next = [&](unsigned& byte) {
    if (at >= stream.size()) return false;
    byte = stream[at++];
    return true;
  };
  auto emit = [&](unsigned code, std::size_t count) {
    for (std::size_t k = 0; k < count; ++k) {
      if (filled >= cells.size()) return Problem::ArchiveRunPastGrid;
      if (code >= levels.size()) return Problem::ArchiveLevelOutOfTable;
      cells[filled++] = levels[code];
    }
    return Problem::None;
  };
  while (filled < cells.size()) {
    unsigned b = 0;
    unsigned extra = 0;
    if (!next(b)) return Problem::ArchiveStreamTruncated;
    Problem result;
    if (b < 0x80) {
      if (b >= runs.size()) return Problem::ArchiveRunOutOfTable;
      result = emit(runs[b].level, runs[b].extra + 2u);
    } else if (b == 0xFE) {
      if (!next(extra)) return Problem::ArchiveStreamTruncated;
      result = emit(extra, 1);
    } else if (b < 0xC0) {
      result = emit(b - 0x80, 1);
    } else {
      if (!next(extra)) return Problem::ArchiveStreamTruncated;
      result = emit(b - 0xC0, extra + 2u);
    }
    if (result != Problem::None) return result;
  }
  return Problem::None;
}

using Decoder = Problem (*)(std::span<const std::uint8_t>, std::span<const std::int16_t>,
                            std::span<const RunEntry>, std::span<std::int16_t>);

// CPU time of this thread: the two cores are shared, so wall time would measure the neighbours.
double threadSeconds() noexcept {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

constexpr const char* kFigure = "decode 1 day x 48 national records (1024 x 1344)";

void runDecoder(benchmark::State& state, Decoder decoder, const char* variant) {
  const BenchDay& d = day();
  std::vector<std::int16_t> cells(kNationalGrid.cellCount());
  double total = 0;
  for (auto _ : state) {
    const double start = threadSeconds();
    for (std::size_t j = 0; j < d.records.size(); ++j) {
      if (decoder(d.stream(j), d.file.levels(), d.file.runs(), cells) != Problem::None) {
        state.SkipWithError("record not decoded");
      }
    }
    benchmark::DoNotOptimize(cells.data());
    benchmark::ClobberMemory();
    total += threadSeconds() - start;
  }
  const double cellsPerDay = static_cast<double>(cells.size()) * kRecords;
  state.counters["Mcells/s"] = cellsPerDay * static_cast<double>(state.iterations()) / total / 1e6;
  recordFigure(kFigure, variant, total / static_cast<double>(state.iterations()));
}

void BM_Decode(benchmark::State& state) { runDecoder(state, core::decodeRecordStream, "fast"); }
void BM_DecodeReference(benchmark::State& state) { runDecoder(state, plainDecode, "reference"); }

void BM_EncodeDay(benchmark::State& state) {
  const BenchDay& d = day();
  core::Bytes bytes;
  for (auto _ : state) {
    if (!core::encodeArchive(kNationalGrid, d.records, bytes)) state.SkipWithError("not encoded");
    benchmark::DoNotOptimize(bytes.data());
  }
  state.counters["grids/s"] = benchmark::Counter(kRecords, benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK(BM_Decode)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_DecodeReference)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_EncodeDay)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// Both decoders must give the same cells before their speeds are compared.
void checkAgreement() {
  const BenchDay& d = day();
  std::vector<std::int16_t> fast(kNationalGrid.cellCount());
  std::vector<std::int16_t> plain(fast.size());
  for (std::size_t j = 0; j < d.records.size(); ++j) {
    core::decodeRecordStream(d.stream(j), d.file.levels(), d.file.runs(), fast);
    plainDecode(d.stream(j), d.file.levels(), d.file.runs(), plain);
    if (fast != plain || fast != d.records[j].values) BenchDay::fail("decoders disagree");
  }
  std::printf("day file: %zu bytes for %d records, %zu levels, %zu run-table entries\n", d.streamBytes, kRecords,
              d.file.levels().size(), d.file.runs().size());
}

}  // namespace
}  // namespace ombrix::bench

int main(int argc, char** argv) { return ombrix::bench::runBenchmarks(argc, argv, ombrix::bench::checkAgreement); }
