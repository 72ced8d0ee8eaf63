// A decade of the agency's 1 km files, measured on a few days of them: restamped copies of the
// two real fields in data/, one every half hour, written to a temporary folder, and 109
// basin-like polygons over Japan. Times, in the same run and wall clock (both cores):
//   (a) areal straight from the GRIB2 files, durations 1, 3, 6, 24 by year, both files written;
//   (b) today's path: import-grib2 into a fresh archive, then areal --archive the same way;
// and export-netcdf of the 全国 window straight from the files against the --archive form (its
// archive imported beforehand). Prints milliseconds per message, the ratio, the decade (175,200
// messages) they extrapolate to, and the peak memory of (a) for two stream lengths. Then the
// archive's whole 全国 windows (NetCDF cube, duration maxima) decoded on the consumer's thread
// against decoded ahead on two workers and against the whole-grid decoder, with wall and CPU time.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <optional>

#include "bench/bench_support.h"
#include "bench/viewer_bench_grid.h"
#include "core/period_check.h"
#include "gis/areal_csv.h"
#include "gis/areal_run.h"
#include "gis/duration_maxima.h"
#include "gis/netcdf_cube.h"
#include "gis/netcdf_export.h"
#include "import/grib2_import.h"
#include "import/sample_archive.h"
#include "support/grib2_restamp.h"
#include "support/test_support.h"

namespace ombrix::bench {
namespace {

namespace fs = std::filesystem;

constexpr int kPolygons = 109;
constexpr double kDecadeMessages = 175'200;
constexpr int kDays = 2;        // the stream timed
constexpr int kLongerDays = 4;  // the second length of the memory figure

// Basins of 5 to 60 km across with 40 vertices, spread along the archipelago from Kyushu to
// Hokkaido.
std::vector<gis::Shape> basins() {
  std::vector<gis::Shape> shapes;
  for (int p = 0; p < kPolygons; ++p) {
    const double t = p / static_cast<double>(kPolygons - 1);
    const double cx = 130.5 + 12.0 * t + 0.6 * std::sin(p * 2.3);
    const double cy = 32.5 + 11.0 * t + 0.6 * std::cos(p * 1.7);
    const double radius = (0.025 + 0.25 * ((p * 37) % 100) / 100.0);  // degrees: about 5 to 60 km across
    gis::Ring ring;
    for (int v = 0; v < 40; ++v) {
      const double angle = 2 * std::numbers::pi * v / 40;
      const double r = radius * (1 + 0.2 * std::sin(4 * angle + p));
      ring.push_back({cx + r * std::cos(angle), cy + r * std::sin(angle)});
    }
    ring.push_back(ring.front());
    shapes.push_back({"basin " + std::to_string(p + 1), {gis::Polygon{{ring}}}});
  }
  return shapes;
}

// days x 48 files from 2020-07-01 (JST), the two fields alternating, in folder.
void writeStream(const fs::path& folder, int days) {
  fs::create_directories(folder);
  const std::vector<std::uint8_t> fields[] = {test::readBytes(test::realField(0)), test::readBytes(test::realField(1))};
  using namespace std::chrono;
  const sys_time<minutes> first = sys_days{year{2020} / 6 / 30} + hours{15} + minutes{30};
  for (int i = 0; i < days * kPerDay; ++i) {
    const sys_time<minutes> end = first + minutes{30 * i};
    const year_month_day day{floor<std::chrono::days>(end)};
    const hh_mm_ss clock{end - floor<std::chrono::days>(end)};
    const int y = static_cast<int>(day.year()), m = static_cast<int>(static_cast<unsigned>(day.month()));
    const int d = static_cast<int>(static_cast<unsigned>(day.day()));
    const int h = static_cast<int>(clock.hours().count()), min = static_cast<int>(clock.minutes().count());
    test::writeBytes(folder / test::agencyName(y, m, d, h, min), test::restamped(fields[i % 2], y, m, d, h, min));
  }
}

struct Stream {
  test::TempDir dir;
  int days;
  explicit Stream(int dayCount) : days(dayCount) { writeStream(dir / "grib2", days); }
  fs::path files() const { return dir / "grib2"; }
  core::PeriodDates period() const { return {{2020, 2020}, {7, 7}, {1, days}}; }
  int messages() const { return days * kPerDay; }
};

Stream& stream() {
  static Stream s(kDays);
  return s;
}

const std::vector<gis::Shape>& shapes() {
  static const std::vector<gis::Shape> all = basins();
  return all;
}

void arealFrom(const core::FrameRequest& request, const fs::path& out) {
  gis::ArealComputation computation;
  if (core::Status s = gis::arealOverArchive(request, shapes(), computation); !s) fail(message(s));
  if (core::Status s = gis::writeArealCsv(out, computation.table(), {1, 3, 6, 24}, gis::MaximaPeriods::Year); !s) {
    fail(message(s));
  }
}

core::FrameRequest grib2Request(const Stream& s) {
  core::FrameRequest request;
  request.period = s.period();
  request.grib2Inputs = {s.files()};
  request.area = *core::regionPreset(7);  // 全国
  request.areaName = "全国";
  return request;
}

// The archive of the stream, imported into folder.
core::FrameRequest importedRequest(const Stream& s, const fs::path& archive) {
  std::vector<core::Status> problems;
  const std::vector<fs::path> files = import::collectGrib2Files(std::vector{s.files()}, problems);
  if (!import::importSucceeded(import::importGrib2Files(files, archive))) fail("the import failed");
  core::ArchiveSelection c;
  c.archiveDir = archive.string();
  if (core::Status checked = core::checkPeriod(s.period(), c.archiveDir, c.period); !checked) fail(message(checked));
  c.area = *core::regionPreset(7);
  c.areaName = "全国";
  return core::frameRequestOf(c);
}

void report(benchmark::State& state, const std::string& figure, const char* variant, const Clocks& clocks) {
  const double total = clocks.wall;
  state.counters["cpu_ms_per_message"] = clocks.cpu / static_cast<double>(state.iterations()) * 1e3 / stream().messages();
  const double perIteration = total / static_cast<double>(state.iterations());
  state.counters["ms_per_message"] = perIteration * 1e3 / stream().messages();
  state.counters["decade_min"] = perIteration / stream().messages() * kDecadeMessages / 60;
  recordFigure(figure, variant, perIteration);
}

const std::string kArealFigure = "areal 109 basins, durations by year, per 2 days of 1 km GRIB2";
const std::string kNetcdfFigure = "export-netcdf 全国 1 km, per 2 days";

void BM_ArealFromGrib2(benchmark::State& state) {
  Clocks clocks;
  for (auto _ : state) clocks.time([] { arealFrom(grib2Request(stream()), stream().dir / "a.csv"); });
  report(state, kArealFigure, "fast", clocks);
}
BENCHMARK(BM_ArealFromGrib2)->Name("decade/areal_from_grib2")->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_ArealImportThenArchive(benchmark::State& state) {
  Clocks clocks;
  for (auto _ : state) {
    fs::remove_all(stream().dir / "archive");
    clocks.time([] { arealFrom(importedRequest(stream(), stream().dir / "archive"), stream().dir / "b.csv"); });
  }
  report(state, kArealFigure, "reference", clocks);
  if (test::readBytes(stream().dir / "a-areal-durations.csv") != test::readBytes(stream().dir / "b-areal-durations.csv")) {
    fail("the two paths' duration files differ");
  }
}
BENCHMARK(BM_ArealImportThenArchive)
    ->Name("decade/areal_import_then_archive")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();

template <bool FromGrib2>
void BM_Netcdf(benchmark::State& state) {
  const core::FrameRequest request =
      FromGrib2 ? grib2Request(stream()) : importedRequest(stream(), stream().dir / "netcdf-archive");
  Clocks clocks;
  for (auto _ : state) {
    clocks.time([&] {
      if (core::Status s = gis::exportArchiveNetcdf(request, stream().dir / "cube.nc", {}); !s) fail(message(s));
    });
  }
  report(state, kNetcdfFigure, FromGrib2 ? "fast" : "reference", clocks);
}
BENCHMARK(BM_Netcdf<true>)->Name("decade/netcdf_from_grib2")->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();
BENCHMARK(BM_Netcdf<false>)->Name("decade/netcdf_from_archive")->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

// areal --archive per day of the sample maker's 2.5 km national archive (half-hourly days made
// with the project's encoder), both files written as in (a), against the plain reference: every
// record of the same days decoded on one thread, nothing else. Each is timed over one day and
// over kArchiveDays: the difference gives the cost of a day, the rest the cost of a run; prints
// ms per day and the decade (3,652.5 days) they extrapolate to.
constexpr int kArchiveDays = 6;
const std::string kArchiveDayFigure = "areal --archive 109 basins vs decoding alone, per day of the 2.5 km archive";

// The archive's request for its first days.
core::FrameRequest sampleArchive(int days) {
  static const fs::path folder = [] {
    const fs::path made = stream().dir / "sample-archive";
    if (core::Status s = import::makeSampleArchive(OMBRIX_DATA_DIR, made, {2005, 7, 1, kArchiveDays}); !s) {
      fail(message(s));
    }
    return made;
  }();
  core::ArchiveSelection c;
  c.archiveDir = folder.string();
  if (core::Status s = core::checkPeriod({{2005, 2005}, {7, 7}, {1, days}}, c.archiveDir, c.period); !s) {
    fail(message(s));
  }
  return core::frameRequestOf(c);
}

template <bool Plain>
void BM_ArealPerArchiveDay(benchmark::State& state) {
  std::vector<std::int16_t> grid;
  const auto run = [&](const core::FrameRequest& request) {
    if (!Plain) return arealFrom(request, stream().dir / "days.csv");
    for (const std::string& path : request.archiveFiles) {
      core::ArchiveFile file;
      if (core::Status s = file.load(path); !s) fail(message(s));
      grid.resize(file.grid().cellCount());
      for (std::size_t j = 0; j < file.records().size(); ++j) {
        if (core::Status s = file.decodeRecord(j, grid); !s) fail(message(s));
      }
    }
  };
  const core::FrameRequest oneDay = sampleArchive(1);
  const core::FrameRequest allDays = sampleArchive(kArchiveDays);
  Clocks one;
  Clocks all;
  for (auto _ : state) {
    one.time([&] { run(oneDay); });
    all.time([&] { run(allDays); });
  }
  const double iterations = static_cast<double>(state.iterations());
  const double perDay = (all.wall - one.wall) / iterations / (kArchiveDays - 1);
  const double perRun = one.wall / iterations - perDay;
  state.counters["ms_per_day"] = perDay * 1e3;
  state.counters["cpu_ms_per_day"] = (all.cpu - one.cpu) / iterations / (kArchiveDays - 1) * 1e3;
  state.counters["ms_per_run"] = perRun * 1e3;
  state.counters["decade_min"] = (perRun + perDay * 3652.5) / 60;
  recordFigure(kArchiveDayFigure, Plain ? "reference" : "fast", perDay);
}
BENCHMARK(BM_ArealPerArchiveDay<false>)
    ->Name("decade/areal_archive_2.5km_per_day")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();
BENCHMARK(BM_ArealPerArchiveDay<true>)
    ->Name("decade/decode_archive_2.5km_per_day/reference")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();

// Whole windows of the archive: the 全国 window of days of an archive streamed into a consumer,
// in turns, with its frames decoded on the consumer's thread row by row (as the program does),
// against (1) the same decoded on two worker threads a few frames ahead (the layout's
// wholeWindowsAhead) and (2) the way before the row decoder, each record decoded into a whole
// grid and its window copied out. Consumers: the NetCDF cube of 1 km days (its chunks compressed
// on worker threads) and the cell duration maxima (one thread) of 1 km and 2.5 km days.
enum class Decoding { Rows, RowsAhead, WholeGrid };

void streamArchive(const core::FrameRequest& request, Decoding decoding,
                   const std::function<core::AreaFrameSink(const core::AreaFrameLayout&)>& consumer) {
  core::ArchiveFrames source(request);
  core::AreaFrameLayout layout;
  if (core::Status s = source.plan(request.area, layout); !s) fail(message(s));
  layout.wholeWindowsAhead = decoding == Decoding::RowsAhead;
  const core::AreaFrameSink sink = consumer(layout);
  if (decoding != Decoding::WholeGrid) {
    if (core::Status s = source.stream(layout, {}, sink); !s) fail(message(s));
    return;
  }
  std::vector<std::int16_t> grid(layout.grid.cellCount());
  std::vector<std::int16_t> frame;
  const core::AreaWindow& w = layout.window;
  for (std::size_t f = 0; f < request.archiveFiles.size(); ++f) {
    core::ArchiveFile file;
    if (core::Status s = file.load(request.archiveFiles[f]); !s) fail(message(s));
    for (std::size_t j = 0; j < file.records().size(); ++j) {
      if (core::Status s = file.decodeRecord(j, grid); !s) fail(message(s));
      frame.clear();
      for (int r = w.firstRow; r <= w.lastRow; ++r) {
        const auto row = grid.begin() + static_cast<std::ptrdiff_t>(r) * layout.grid.nx;
        frame.insert(frame.end(), row + w.firstCol, row + w.lastCol + 1);
      }
      const auto k = static_cast<std::int64_t>(f * static_cast<std::size_t>(layout.framesPerDay) + j);
      if (core::Status s = sink(k, file.records()[j].stamp, frame); !s) fail(message(s));
    }
  }
}

void netcdfCube(const core::FrameRequest& request, Decoding decoding) {
  gis::NetcdfCube cube;
  streamArchive(request, decoding, [&](const core::AreaFrameLayout& layout) {
    gis::CubeLayout cubeLayout;
    cubeLayout.grid = core::cellGridOf(layout.header, request.period.year[0], request.period.month[0]);
    cubeLayout.frames = layout.frameCount();
    cubeLayout.intervalMinutes = 24 * 60 / layout.framesPerDay;
    if (core::Status s = cube.create(stream().dir / "whole-window.nc", cubeLayout); !s) fail(message(s));
    return [&](std::int64_t k, const core::TimeStamp& stamp, std::span<const std::int16_t> cells) {
      return cube.writeFrame(k, stamp, cells);
    };
  });
  if (core::Status s = cube.commit(); !s) fail(message(s));
}

constexpr int kMaximaHours = 3;  // 1 km frames are 13 MB: the hours' frames are kept

std::vector<std::int16_t> durationMaxima(const core::FrameRequest& request, Decoding decoding) {
  std::optional<gis::CellDurationMaxima> maxima;
  std::vector<std::vector<std::int16_t>> kept;
  streamArchive(request, decoding, [&](const core::AreaFrameLayout& layout) {
    maxima.emplace(layout.header.cellCount(), layout.framesPerDay / 24, kMaximaHours);
    kept.resize(static_cast<std::size_t>(maxima->windowFrames()));
    return [&](std::int64_t k, const core::TimeStamp&, std::span<const std::int16_t> cells) {
      std::vector<std::int16_t>& slot = kept[static_cast<std::size_t>(k % maxima->windowFrames())];
      maxima->add(cells, slot);
      slot.assign(cells.begin(), cells.end());
      return core::Status();
    };
  });
  return maxima->takeDepths();
}

// The 1 km archive of kLongerDays days, imported once.
const core::FrameRequest& longerArchive() {
  static const Stream longer(kLongerDays);
  static const core::FrameRequest request = importedRequest(longer, longer.dir / "archive");
  return request;
}

// Arg 0: (1) decoded ahead on workers vs rows on the caller's thread; 1: (2) rows vs whole grids.
std::pair<Decoding, Decoding> comparedDecodings(const benchmark::State& state) {
  return state.range(0) == 0 ? std::pair(Decoding::RowsAhead, Decoding::Rows)
                             : std::pair(Decoding::Rows, Decoding::WholeGrid);
}

std::string comparison(const benchmark::State& state) {
  return state.range(0) == 0 ? ": ahead on workers vs the caller's thread" : ": rows vs whole grid and copy";
}

void BM_NetcdfWholeWindow(benchmark::State& state) {
  const auto [fast, reference] = comparedDecodings(state);
  timeInTurns(
      state, "export-netcdf --archive 全国 1 km, 4 days" + comparison(state),
      [&] { netcdfCube(longerArchive(), fast); }, [&] { netcdfCube(longerArchive(), reference); });
}
BENCHMARK(BM_NetcdfWholeWindow)
    ->Name("decade/netcdf_archive_whole_window")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();

// Args: the comparison, and 1 for the 1 km archive, 2 for the 2.5 km one.
void BM_MaximaWholeWindow(benchmark::State& state) {
  const bool fine = state.range(1) == 1;
  core::FrameRequest request = fine ? longerArchive() : sampleArchive(kArchiveDays);
  request.area = *core::regionPreset(7);  // 全国
  const auto [fast, reference] = comparedDecodings(state);
  std::vector<std::int16_t> fastMaxima;
  std::vector<std::int16_t> referenceMaxima;
  timeInTurns(
      state, std::string("export-duration-max --archive 全国 ") + (fine ? "1 km, 4" : "2.5 km, 6") + " days" + comparison(state),
      [&] { fastMaxima = durationMaxima(request, fast); }, [&] { referenceMaxima = durationMaxima(request, reference); });
  if (fastMaxima != referenceMaxima) fail("the two paths' maxima differ");
}
BENCHMARK(BM_MaximaWholeWindow)
    ->Name("decade/duration_max_archive_whole_window")
    ->ArgsProduct({{0, 1}, {1, 2}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();

// The peak resident memory of (a) in a child process, in MB.
double peakMegabytes(int days) {
  Stream s(days);
  const pid_t child = fork();
  if (child == 0) {
    arealFrom(grib2Request(s), s.dir / "a.csv");
    _exit(0);
  }
  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    fail("the memory run failed");
  }
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void printFigures() {
  std::printf("decade (175,200 messages) at the measured rates: see decade_min; ms per message: ms_per_message\n");
  for (const int days : {kDays, kLongerDays}) {
    std::printf("peak memory of areal from GRIB2, %d days (%d messages): %.0f MB\n", days, days * kPerDay,
                peakMegabytes(days));
  }
}

}  // namespace
}  // namespace ombrix::bench

int main(int argc, char** argv) {
  return ombrix::bench::runBenchmarks(argc, argv, [] { ombrix::bench::stream(); }, ombrix::bench::printFigures);
}
