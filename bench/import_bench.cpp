// GRIB2 import of the agency's 1 km analysed rainfall: expanding one message's run-length
// stream against a plain value-by-value decoder that checks bounds on every cell, decoding and
// re-encoding one message, importing a whole day of 48 messages into a .RAP file, importing
// half a day onto a day file holding the other half against importing it alone, and
// preprocessing that imported day into a 関東 RMD file. Figures for the single-message steps are
// thread CPU time (one core); the day import and the preprocessing include their file output.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <memory>
#include <vector>

#include "bench/bench_support.h"
#include "core/archive_calendar.h"
#include "import/grib2_field.h"
#include "import/grib2_import.h"
#include "core/preprocess_run.h"
#include "core/rap_encoder.h"
#include "core/region_table.h"
#include "support/test_support.h"

namespace ombrix::bench {
namespace {

namespace fs = std::filesystem;

const char* const kFiles[2] = {
    OMBRIX_DATA_DIR "/Z__C_RJTD_20200707000000_SRF_GPV_Ggis1km_Prr60lv_ANAL_grib2.bin",
    OMBRIX_DATA_DIR "/Z__C_RJTD_20210817090000_SRF_GPV_Ggis1km_Prr60lv_ANAL_grib2.bin",
};

double threadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

struct Message {
  std::vector<std::uint8_t> bytes;
  import::Grib2Field field;
  std::span<const std::uint8_t> stream;  // section 7 after its five bytes
};

// Section 7 of a message, found by walking the sections by their lengths.
std::span<const std::uint8_t> dataStream(const std::vector<std::uint8_t>& bytes) {
  std::size_t offset = 16;
  while (offset + 5 <= bytes.size()) {
    const std::uint32_t length = (std::uint32_t{bytes[offset]} << 24) | (std::uint32_t{bytes[offset + 1]} << 16) |
                                 (std::uint32_t{bytes[offset + 2]} << 8) | bytes[offset + 3];
    if (bytes[offset + 4] == 7) return std::span(bytes).subspan(offset + 5, length - 5);
    offset += length;
  }
  std::fprintf(stderr, "no data section\n");
  std::exit(1);
}

const std::vector<Message>& messages() {
  static const std::vector<Message> all = [] {
    std::vector<Message> list(2);
    for (int f = 0; f < 2; ++f) {
      list[f].bytes = test::readBytes(kFiles[f]);
      if (!import::readGrib2File(kFiles[f], list[f].field)) {
        std::fprintf(stderr, "cannot read %s\n", kFiles[f]);
        std::exit(1);
      }
      list[f].stream = dataStream(list[f].bytes);
    }
    return list;
  }();
  return all;
}

// The straightforward decoder: one value at a time, each cell written on its own with a bounds
// check, the run length built digit by digit.
bool plainExpand(std::span<const std::uint8_t> stream, int maxLevel, std::span<std::uint8_t> levels) {
  const std::size_t base = 255 - static_cast<std::size_t>(maxLevel);
  std::size_t filled = 0;
  std::size_t i = 0;
  while (i < stream.size()) {
    const std::uint8_t level = stream[i++];
    if (level > maxLevel) return false;
    std::size_t length = 1;
    std::size_t weight = 1;
    while (i < stream.size() && stream[i] > maxLevel) {
      length += weight * (stream[i++] - static_cast<std::size_t>(maxLevel) - 1);
      weight *= base;
    }
    for (std::size_t k = 0; k < length; ++k) {
      if (filled >= levels.size()) return false;
      levels[filled++] = level;
    }
  }
  return filled == levels.size();
}

void checkAgreement() {
  for (const Message& m : messages()) {
    std::vector<std::uint8_t> plain(m.field.levels.size());
    if (!plainExpand(m.stream, m.field.maxLevelUsed, plain) || plain != m.field.levels) {
      std::fprintf(stderr, "the plain decoder disagrees with the reader\n");
      std::exit(1);
    }
  }
}

constexpr const char* kExpandFigure = "GRIB2 run-length expansion, 1 km message (8.6 M cells)";

template <typename Expand>
void runExpansion(benchmark::State& state, Expand expand, const char* variant) {
  std::vector<std::uint8_t> levels(messages()[0].field.levels.size());
  double total = 0;
  std::size_t done = 0;
  for (auto _ : state) {
    const Message& m = messages()[done++ % 2];
    const double start = threadSeconds();
    if (!expand(m, levels)) state.SkipWithError("not expanded");
    benchmark::DoNotOptimize(levels.data());
    benchmark::ClobberMemory();
    total += threadSeconds() - start;
  }
  state.counters["messages/s"] = static_cast<double>(state.iterations()) / total;
  recordFigure(kExpandFigure, variant, total / static_cast<double>(state.iterations()));
}

void BM_Expand(benchmark::State& state) {
  runExpansion(
      state,
      [](const Message& m, std::span<std::uint8_t> levels) {
        return import::expandLevelRuns(m.stream, 8, m.field.maxLevelUsed, levels) == core::Problem::None;
      },
      "fast");
}

void BM_ExpandReference(benchmark::State& state) {
  runExpansion(
      state,
      [](const Message& m, std::span<std::uint8_t> levels) {
        return plainExpand(m.stream, m.field.maxLevelUsed, levels);
      },
      "reference");
}

// One message from its bytes to its compressed archive record: the work of the import per half
// hour, without file input and output.
void BM_DecodeAndReencode(benchmark::State& state) {
  import::Grib2Field field;
  std::vector<std::uint8_t> codes(messages()[0].field.levels);
  const std::vector<core::RunEntry> runs = core::chooseRunTable(std::span<const std::vector<std::uint8_t>>(&codes, 1));
  std::vector<std::uint8_t> codeOfLevel(256);
  for (std::size_t m = 0; m < codeOfLevel.size(); ++m) codeOfLevel[m] = static_cast<std::uint8_t>(m);
  std::size_t done = 0;
  double total = 0;
  for (auto _ : state) {
    const Message& m = messages()[done++ % 2];
    const double start = threadSeconds();
    if (import::decodeGrib2Field(m.bytes, field) != core::Problem::None) state.SkipWithError("not decoded");
    std::transform(field.levels.begin(), field.levels.end(), codes.begin(),
                   [&codeOfLevel](std::uint8_t level) { return codeOfLevel[level]; });
    const core::Bytes stream = core::encodeRecordStream(codes, runs);
    benchmark::DoNotOptimize(stream.data());
    total += threadSeconds() - start;
  }
  state.counters["messages/s"] = static_cast<double>(state.iterations()) / total;
}

// A day of 48 half-hourly messages, made from the two real fields by rewriting the reference
// and accumulation end times (UTC), in a temporary folder.
struct ImportedDay {
  test::TempDir dir;
  std::vector<fs::path> files;
  fs::path archive;
};

void setTime(std::vector<std::uint8_t>& bytes, std::size_t at, int hour, int minute) {
  bytes[at + 4] = static_cast<std::uint8_t>(hour);
  bytes[at + 5] = static_cast<std::uint8_t>(minute);
}

const ImportedDay& importedDay() {
  static const std::unique_ptr<ImportedDay> day = [] {
    auto d = std::make_unique<ImportedDay>();
    d->archive = d->dir / "archive";
    // Section 1 (21 bytes) starts at 16, its time at octet 13; section 4 follows section 3
    // (72 bytes), its end of accumulation at octet 35.
    constexpr std::size_t kReferenceTime = 16 + 12;
    constexpr std::size_t kAccumulationEnd = 16 + 21 + 72 + 34;
    for (int j = 0; j < 48; ++j) {
      std::vector<std::uint8_t> bytes = messages()[j % 2].bytes;
      // Both fields dated 2020-07-07.
      for (std::size_t at : {kReferenceTime, kAccumulationEnd}) {
        bytes[at] = 0x07, bytes[at + 1] = 0xe4, bytes[at + 2] = 7, bytes[at + 3] = 7;
        setTime(bytes, at, j / 2, j % 2 * 30);
      }
      char name[96];
      std::snprintf(name, sizeof name, "Z__C_RJTD_20200707%02d%02d00%s", j / 2, j % 2 * 30,
                    std::string(import::kGrib2RainfallSuffix).c_str());
      d->files.push_back(d->dir / name);
      test::writeBytes(d->files.back(), bytes);
    }
    const import::Grib2ImportResult result = import::importGrib2Files(d->files, d->archive, {true});
    if (result.daysWritten.size() != 1 || !result.problems.empty()) {
      std::fprintf(stderr, "the day was not imported\n");
      std::exit(1);
    }
    return d;
  }();
  return *day;
}

// Imports files into archive once per iteration, over the day file at start (none if empty),
// which is put in place outside the timing. Returns the seconds per import.
double runImport(benchmark::State& state, std::span<const fs::path> files, const fs::path& archive,
                 const fs::path& start) {
  const fs::path day = core::archiveFilePath(archive.string(), 2020, 7, 7);
  fs::create_directories(day.parent_path());
  double total = 0;
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove(day);
    if (!start.empty()) fs::copy_file(start, day);
    state.ResumeTiming();
    const auto begin = std::chrono::steady_clock::now();
    const import::Grib2ImportResult result = import::importGrib2Files(files, archive, {true});
    total += std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    if (result.daysWritten.size() != 1 || !result.problems.empty()) state.SkipWithError("not imported");
  }
  state.counters["messages/s"] =
      benchmark::Counter(static_cast<double>(files.size()), benchmark::Counter::kIsIterationInvariantRate);
  return total / static_cast<double>(state.iterations());
}

void BM_ImportDay(benchmark::State& state) {
  const ImportedDay& d = importedDay();
  runImport(state, d.files, d.archive, {});
}

// The second half of the day onto the first: every record of the day file decoded and checked,
// the first half's records re-encoded. The reference imports the second half alone.
constexpr char kMergeFigure[] = "half day imported onto the other half, against alone";

const fs::path& firstHalfDayFile() {
  static const fs::path path = [] {
    const ImportedDay& d = importedDay();
    const fs::path archive = d.dir / "first-half";
    import::importGrib2Files(std::span(d.files).first(24), archive, {true});
    return fs::path(core::archiveFilePath(archive.string(), 2020, 7, 7));
  }();
  return path;
}

void BM_ImportHalfDayOntoTheOther(benchmark::State& state) {
  const ImportedDay& d = importedDay();
  const double seconds = runImport(state, std::span(d.files).subspan(24), d.dir / "merged", firstHalfDayFile());
  recordFigure(kMergeFigure, "fast", seconds);
}

void BM_ImportHalfDayAlone(benchmark::State& state) {
  const ImportedDay& d = importedDay();
  recordFigure(kMergeFigure, "reference", runImport(state, std::span(d.files).subspan(24), d.dir / "alone", {}));
}

void BM_PreprocessImportedDayKanto(benchmark::State& state) {
  const ImportedDay& d = importedDay();
  core::ArchiveSelection c;
  const core::AreaBounds kanto = *core::regionPreset(2);
  c.area = kanto;
  c.areaName = "関東";
  c.archiveDir = d.archive.string();
  c.period = {{{2020, 2020}, {7, 7}, {7, 7}}, {core::archiveFilePath(c.archiveDir, 2020, 7, 7)}};
  const fs::path output = d.archive / "Ka20207072020707.RMD";
  for (auto _ : state) {
    const core::PreprocessResult result = core::runPreprocessing(c, output);
    if (!result.status) state.SkipWithError(message(result.status).c_str());
  }
  state.counters["frames/s"] = benchmark::Counter(48, benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK(BM_Expand)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ExpandReference)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_DecodeAndReencode)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ImportDay)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ImportHalfDayOntoTheOther)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ImportHalfDayAlone)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_PreprocessImportedDayKanto)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
}  // namespace ombrix::bench

int main(int argc, char** argv) { return ombrix::bench::runBenchmarks(argc, argv, ombrix::bench::checkAgreement); }
