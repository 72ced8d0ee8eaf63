// Preprocessing one day of 48 half-hourly national records (1024 x 1344 cells) into the RMD file
// of a region and of the whole country, against a plain reference; and the peak memory of
// preprocessing 1 and 10 days, measured in child processes.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "core/frame_source.h"
#include "core/preprocess_run.h"
#include "core/rmd_file.h"
#include "core/rap_encoder.h"
#include "core/region_table.h"
#include "support/test_support.h"

namespace ombrix::bench {
namespace {

namespace fs = std::filesystem;
using core::ArchiveSelection;
using core::GridDescription;

const GridDescription kNationalGrid{47989583, 118015625, 31250, 20833, 1024, 1344};
constexpr int kRecordsPerDay = 48;

// Rain rates in 0.1 mm/h: dry, a ladder of intensities, and -1 outside radar coverage.
const std::vector<std::int16_t> kLevels = [] {
  std::vector<std::int16_t> levels{-1, 0};
  for (int v = 1; v <= 10; ++v) levels.push_back(static_cast<std::int16_t>(v * 5));
  for (int v = 6; v <= 40; ++v) levels.push_back(static_cast<std::int16_t>(v * 10));
  for (int v = 9; v <= 30; ++v) levels.push_back(static_cast<std::int16_t>(v * 50));
  return levels;
}();

// Coverage: cells within reach of a chain of radar sites along the archipelago.
std::vector<bool> coverageMask() {
  const int nx = kNationalGrid.nx;
  const int ny = kNationalGrid.ny;
  std::vector<bool> covered(static_cast<std::size_t>(nx) * ny, false);
  for (int s = 0; s < 20; ++s) {
    const int cx = 140 + s * 40 + (s % 3) * 25;
    const int cy = 1250 - s * 55 + (s % 2) * 30;
    constexpr int kReach = 190;
    for (int r = std::max(0, cy - kReach); r < std::min(ny, cy + kReach); ++r) {
      for (int c = std::max(0, cx - kReach); c < std::min(nx, cx + kReach); ++c) {
        if ((c - cx) * (c - cx) + (r - cy) * (r - cy) < kReach * kReach) covered[static_cast<std::size_t>(r) * nx + c] = true;
      }
    }
  }
  return covered;
}

// Rain bands drifting east and north over the day, with a little cell-to-cell texture.
std::vector<std::int16_t> rainRecord(int j, const std::vector<bool>& covered) {
  const int nx = kNationalGrid.nx;
  const int ny = kNationalGrid.ny;
  std::vector<int> level(covered.size(), 1);
  for (int b = 0; b < 14; ++b) {
    const int cx = (90 * b + 6 * j) % nx;
    const int cy = (1300 - 85 * b - 3 * j + 2 * ny) % ny;
    const int radius = 30 + (b * 37) % 90;
    for (int r = std::max(0, cy - radius); r < std::min(ny, cy + radius); ++r) {
      for (int c = std::max(0, cx - radius); c < std::min(nx, cx + radius); ++c) {
        const int d2 = (c - cx) * (c - cx) + (r - cy) * (r - cy);
        if (d2 >= radius * radius) continue;
        const int strength = 2 + (static_cast<int>(kLevels.size()) - 3) * (radius * radius - d2) / (radius * radius);
        const int texture = ((c * 7 + r * 13 + j) % 5 == 0) ? 1 : 0;
        auto& cell = level[static_cast<std::size_t>(r) * nx + c];
        cell = std::max(cell, std::min(strength + texture, static_cast<int>(kLevels.size()) - 1));
      }
    }
  }
  std::vector<std::int16_t> values(covered.size());
  for (std::size_t i = 0; i < values.size(); ++i) values[i] = covered[i] ? kLevels[static_cast<std::size_t>(level[i])] : -1;
  return values;
}

// The day file is made once; the 10-day archive repeats it under ten names.
struct BenchArchive {
  test::TempDir dir;
  std::vector<std::string> days;

  BenchArchive() {
    const std::vector<bool> covered = coverageMask();
    std::vector<core::ArchiveRecord> records;
    for (int j = 0; j < kRecordsPerDay; ++j) {
      records.push_back({{2005, 1, 1, static_cast<std::uint8_t>(j / 2), static_cast<std::uint8_t>(j % 2 * 30)},
                         rainRecord(j, covered)});
    }
    const fs::path first = dir / "J2005101.RAP";
    if (core::Status s = core::writeArchiveFile(first, kNationalGrid, records); !s) {
      std::fprintf(stderr, "%s\n", message(s).c_str());
      std::exit(1);
    }
    for (int d = 1; d <= 10; ++d) {
      const fs::path path = dir / ("day" + std::to_string(d) + ".RAP");
      if (d > 1) fs::copy_file(first, path);
      days.push_back((d == 1 ? first : path).string());
    }
  }
};

BenchArchive& archive() {
  static BenchArchive instance;
  return instance;
}

ArchiveSelection conditionsFor(int regionIndex, int dayCount) {
  ArchiveSelection c;
  const core::AreaBounds area = *core::regionPreset(regionIndex);
  c.area = area;
  c.areaName = std::string(core::regionTable()[static_cast<std::size_t>(regionIndex)].name);
  c.period.dates = {{2005, 2005}, {1, 1}, {1, dayCount}};
  c.period.files.assign(archive().days.begin(), archive().days.begin() + dayCount);
  c.archiveDir = archive().dir.path().string();
  return c;
}

// ---- The plain reference: whole-file reads, a cell-by-cell decoder, an ofstream with a seek
// per frame, every value written on its own and every slot filled out with zeros. ----

struct PlainArchive {
  std::vector<unsigned char> bytes;
  int n = 0, nx = 0, ny = 0;
  std::int32_t lat0 = 0, lon0 = 0, dlon = 0, dlat = 0;
  std::size_t levelsAt = 0, runsAt = 0;
};

std::int32_t plainInt(const std::vector<unsigned char>& b, std::size_t at, int width) {
  std::uint32_t v = 0;
  for (int i = width - 1; i >= 0; --i) v = (v << 8) | b[at + static_cast<std::size_t>(i)];
  return width == 2 ? static_cast<std::int16_t>(v) : static_cast<std::int32_t>(v);
}

PlainArchive plainLoad(const std::string& path) {
  PlainArchive a;
  std::ifstream in(path, std::ios::binary);
  a.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  a.n = plainInt(a.bytes, 80, 2);
  const std::size_t g = 88 + 20 * static_cast<std::size_t>(a.n);
  a.lat0 = plainInt(a.bytes, g, 4);
  a.lon0 = plainInt(a.bytes, g + 4, 4);
  a.dlon = plainInt(a.bytes, g + 8, 4);
  a.dlat = plainInt(a.bytes, g + 12, 4);
  a.nx = plainInt(a.bytes, g + 16, 2);
  a.ny = plainInt(a.bytes, g + 18, 2);
  a.levelsAt = 128 + 20 * static_cast<std::size_t>(a.n);
  a.runsAt = a.levelsAt + 2 + 2 * static_cast<std::size_t>(plainInt(a.bytes, a.levelsAt - 2, 2));
  return a;
}

void plainDecode(const PlainArchive& a, int j, std::vector<std::int16_t>& grid) {
  std::size_t p = static_cast<std::size_t>(plainInt(a.bytes, 84 + 20 * static_cast<std::size_t>(j) + 16, 4)) + 4;
  const auto level = [&](int code) { return static_cast<std::int16_t>(plainInt(a.bytes, a.levelsAt + 2 * code, 2)); };
  std::size_t i = 0;
  const std::size_t cells = static_cast<std::size_t>(a.nx) * a.ny;
  while (i < cells) {
    const int b = a.bytes[p++];
    int code;
    int count = 1;
    if (b < 0x80) {
      code = a.bytes[a.runsAt + 2 * b];
      count = a.bytes[a.runsAt + 2 * b + 1] + 2;
    } else if (b == 0xFE) {
      code = a.bytes[p++];
    } else if (b < 0xC0) {
      code = b - 0x80;
    } else {
      code = b - 0xC0;
      count = a.bytes[p++] + 2;
    }
    for (int m = 0; m < count && i < cells; ++m) grid[i++] = level(code);
  }
}

void plainWrite(std::ofstream& out, std::int64_t value, int width) {
  for (int i = 0; i < width; ++i) out.put(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void plainPreprocess(const ArchiveSelection& c, const std::string& output) {
  const PlainArchive first = plainLoad(c.period.files[0]);
  const auto lastIndex = [](std::int64_t offset, std::int64_t step) { return offset / step + (offset % step ? 1 : 0); };
  const int firstCol = std::clamp<int>(static_cast<int>((c.area.westLon - first.lon0) / first.dlon), 0, first.nx - 1);
  const int lastCol = std::clamp<int>(static_cast<int>(lastIndex(c.area.eastLon - first.lon0, first.dlon)), 0, first.nx - 1);
  const int firstRow = std::clamp<int>(static_cast<int>((first.lat0 - c.area.northLat) / first.dlat), 0, first.ny - 1);
  const int lastRow = std::clamp<int>(static_cast<int>(lastIndex(first.lat0 - c.area.southLat, first.dlat)), 0, first.ny - 1);
  const int rows = lastRow - firstRow + 1;
  const int cols = lastCol - firstCol + 1;
  const int days = static_cast<int>(c.period.files.size());
  const int frames = days * kRecordsPerDay;
  const std::int64_t dataStart = 28 + 10LL * kRecordsPerDay * frames;

  std::ofstream out(output, std::ios::binary | std::ios::trunc);
  plainWrite(out, frames, 2);
  plainWrite(out, first.lon0 + static_cast<std::int64_t>(firstCol) * first.dlon, 4);
  plainWrite(out, first.lat0 - static_cast<std::int64_t>(firstRow) * first.dlat, 4);
  plainWrite(out, first.lon0 + static_cast<std::int64_t>(lastCol) * first.dlon, 4);
  plainWrite(out, first.lat0 - static_cast<std::int64_t>(lastRow) * first.dlat, 4);
  for (const int v : {rows, cols, first.dlon, first.dlat, -1}) plainWrite(out, v, 2);
  for (int f = 0; f < days; ++f) {
    const PlainArchive a = plainLoad(c.period.files[static_cast<std::size_t>(f)]);
    for (int j = 0; j < a.n; ++j) {
      out.seekp(28 + 10 * (f * kRecordsPerDay + j));
      for (int b = 0; b < 6; ++b) out.put(static_cast<char>(a.bytes[84 + 20 * static_cast<std::size_t>(j) + b]));
      plainWrite(out, 0, 4);
    }
  }
  std::vector<std::int16_t> grid(static_cast<std::size_t>(first.nx) * first.ny);
  for (int f = 0; f < days; ++f) {
    const PlainArchive a = plainLoad(c.period.files[static_cast<std::size_t>(f)]);
    for (int j = 0; j < a.n; ++j) {
      plainDecode(a, j, grid);
      const int k = f * kRecordsPerDay + j;
      const std::int64_t offset = dataStart + static_cast<std::int64_t>(k) * 4 * rows * cols;
      out.seekp(28 + 10 * k + 6);
      plainWrite(out, offset, 4);
      out.seekp(offset);
      for (int r = firstRow; r <= lastRow; ++r) {
        for (int col = firstCol; col <= lastCol; ++col) plainWrite(out, grid[static_cast<std::size_t>(r) * a.nx + col], 2);
      }
      for (std::int64_t z = 0; z < 2LL * rows * cols; ++z) out.put(0);
    }
  }
}

// The reference writes every slot out in full; apart from that the two files must be equal.
bool filesAgree(int regionIndex) {
  const ArchiveSelection c = conditionsFor(regionIndex, 1);
  const std::string fast = archive().dir.path().string() + "/agree.RMD";
  const std::string reference = archive().dir.path().string() + "/agree-reference.RMD";
  if (!core::runPreprocessing(c, fast).status) return false;
  plainPreprocess(c, reference);
  const std::vector<std::uint8_t> a = test::readBytes(fast);
  std::vector<std::uint8_t> b = test::readBytes(reference);
  if (b.size() < a.size() || !std::all_of(b.begin() + static_cast<std::ptrdiff_t>(a.size()), b.end(),
                                          [](std::uint8_t v) { return v == 0; })) {
    return false;
  }
  b.resize(a.size());
  return a == b;
}

// ---- Benchmarks ----

double secondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void runFast(benchmark::State& state, int regionIndex, const char* figure) {
  const ArchiveSelection c = conditionsFor(regionIndex, 1);
  const std::string output = core::outputRmdPath(c);
  double total = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    const core::PreprocessResult result = core::runPreprocessing(c, output);
    total += secondsSince(start);
    if (!result.status) state.SkipWithError(message(result.status).c_str());
  }
  recordFigure(figure, "fast", total / static_cast<double>(state.iterations()));
}

void runReference(benchmark::State& state, int regionIndex, const char* figure) {
  const ArchiveSelection c = conditionsFor(regionIndex, 1);
  const std::string output = archive().dir.path().string() + "/reference.RMD";
  double total = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    plainPreprocess(c, output);
    total += secondsSince(start);
  }
  recordFigure(figure, "reference", total / static_cast<double>(state.iterations()));
}

constexpr const char* kKanto = "preprocess 1 day x 48 national records -> 関東";
constexpr const char* kWhole = "preprocess 1 day x 48 national records -> 全国";

void BM_PreprocessKanto(benchmark::State& s) { runFast(s, 2, kKanto); }
void BM_PreprocessKantoReference(benchmark::State& s) { runReference(s, 2, kKanto); }
void BM_PreprocessWhole(benchmark::State& s) { runFast(s, 7, kWhole); }
void BM_PreprocessWholeReference(benchmark::State& s) { runReference(s, 7, kWhole); }
BENCHMARK(BM_PreprocessKanto)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_PreprocessKantoReference)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_PreprocessWhole)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BM_PreprocessWholeReference)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// ---- 全国 over 1 and 7 days: the run with its frames decoded on two worker threads a few frames
// ahead of the writer (the layout's wholeWindowsAhead) against the run as the program does it, the
// frames decoded on the writer's thread, the two timed in turns so that both see the same load. ----

core::Status preprocessAhead(const ArchiveSelection& c, const std::string& output) {
  const core::FrameRequest request = core::frameRequestOf(c);
  core::ArchiveFrames source(request);
  core::AreaFrameLayout layout;
  if (core::Status s = source.plan(c.area, layout); !s) return s;
  layout.header.frameCount = static_cast<std::int16_t>(layout.frameCount());
  layout.wholeWindowsAhead = true;
  core::RmdWriter writer;
  if (core::Status s = writer.create(output, layout.header, layout.framesPerDay); !s) return s;
  const core::Status streamed =
      source.stream(layout, {}, [&](std::int64_t k, const core::TimeStamp& stamp, std::span<const std::int16_t> cells) {
        writer.setEntry(static_cast<int>(k), stamp);
        return writer.writeFrame(static_cast<int>(k), cells);
      });
  return streamed ? writer.commit() : streamed;
}

void BM_PreprocessWholeDays(benchmark::State& state) {
  const int days = static_cast<int>(state.range(0));
  const ArchiveSelection c = conditionsFor(7, days);
  const std::string ahead = archive().dir.path().string() + "/ahead.RMD";
  const std::string program = archive().dir.path().string() + "/program.RMD";
  timeInTurns(
      state, "preprocess 全国 " + std::to_string(days) + " days: decoded ahead on workers vs the caller's thread",
      [&] {
        if (!preprocessAhead(c, ahead)) state.SkipWithError("the run on workers failed");
      },
      [&] {
        if (!core::runPreprocessing(c, program).status) state.SkipWithError("the run failed");
      });
  if (test::readBytes(ahead) != test::readBytes(program)) state.SkipWithError("the two files differ");
}
BENCHMARK(BM_PreprocessWholeDays)->Arg(1)->Arg(7)->Unit(benchmark::kMillisecond)->Iterations(6)->UseRealTime();

// ---- Peak memory, each in a freshly executed process so nothing of this one is counted ----
// The child reports its own VmHWM: ru_maxrss would include the image of this process that the
// child carried between fork and exec.

constexpr const char* kChildFlag = "--preprocess-child";

long highWaterKilobytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
  }
  return -1;
}

int childMain(const std::string& dir, int dayCount) {
  ArchiveSelection c;
  const core::AreaBounds area = *core::regionPreset(7);
  c.area = area;
  c.period.dates = {{2005, 2005}, {1, 1}, {1, dayCount}};
  c.period.files.push_back(dir + "/J2005101.RAP");
  for (int d = 2; d <= dayCount; ++d) c.period.files.push_back(dir + "/day" + std::to_string(d) + ".RAP");
  if (!core::runPreprocessing(c, dir + "/memory.RMD").status) return 1;
  std::printf("%ld\n", highWaterKilobytes());
  return 0;
}

long peakKilobytes(int dayCount) {
  int fds[2];
  if (::pipe(fds) != 0) return -1;
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(fds[1], 1);
    ::close(fds[0]);
    const std::string days = std::to_string(dayCount);
    const std::string dir = archive().dir.path().string();
    ::execl("/proc/self/exe", "preprocess_bench", kChildFlag, dir.c_str(), days.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(fds[1]);
  char text[64] = {};
  const ssize_t n = ::read(fds[0], text, sizeof text - 1);
  ::close(fds[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  return n > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0 ? std::atol(text) : -1;
}

}  // namespace
}  // namespace ombrix::bench

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], ombrix::bench::kChildFlag) == 0) {
    return ombrix::bench::childMain(argv[2], std::atoi(argv[3]));
  }
  benchmark::Initialize(&argc, argv);
  ombrix::bench::archive();
  if (!ombrix::bench::filesAgree(2) || !ombrix::bench::filesAgree(7)) {
    std::fprintf(stderr, "preprocess_bench: the fast and the reference file differ\n");
    return 1;
  }
  benchmark::RunSpecifiedBenchmarks();
  ombrix::bench::printRatios();
  const long one = ombrix::bench::peakKilobytes(1);
  const long ten = ombrix::bench::peakKilobytes(10);
  std::printf("peak memory preprocessing 全国: 1 day %.1f MB, 10 days %.1f MB\n", one / 1024.0, ten / 1024.0);
  benchmark::Shutdown();
  return 0;
}
