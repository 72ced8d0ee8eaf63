// The start of the programs, each executed afresh: "ombrix-tool --help", "ombrix-tool info" on
// a 関東 day, a command that runs in the full tool, and the desktop program to its first painted
// window (offscreen); each against the exec of a minimal C++ program in the same turns, with the
// peak memory of each, measured by that minimal program as their parent.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "bench/viewer_bench_grid.h"
#include "support/test_support.h"

extern char** environ;

namespace ombrix::bench {
namespace {

namespace fs = std::filesystem;
using Words = std::vector<std::string>;

const std::string kBin = OMBRIX_BIN_DIR;
const std::string kMinimal = kBin + "/startup_minimal_program";

// A 関東 day of synthetic rain, written once.
const fs::path& rainFile() {
  static const test::TempDir dir;
  static const fs::path path = [] {
    const fs::path file = dir / "Ka20057012005701.RMD";
    writeRainFile(file, regionHeader(kKantoRegion, kPerDay));
    return file;
  }();
  return path;
}

// Runs a program to its end; its standard output goes to out (discarded when out is -1), its
// standard error is discarded. Whether it started and ended with status 0.
bool runProgram(const Words& words, int out = -1) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (out >= 0) {
    posix_spawn_file_actions_adddup2(&actions, out, 1);
  } else {
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  }
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  std::vector<char*> argv;
  for (const std::string& word : words) argv.push_back(const_cast<char*>(word.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int error = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  int status = 0;
  return error == 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// A program started again and again, and the wall-clock time of its runs.
struct Start {
  std::string figure;
  Words words;
  double seconds = 0;
  long runs = 0;
};

// Programs timed in turns, the minimal program first, so that a change in the machine's load
// falls on all of them alike.
using Starts = std::vector<Start>;

Starts& toolStarts() {
  static Starts starts{{"minimal C++ program", {kMinimal}},
                       {"ombrix-tool --help", {kBin + "/ombrix-tool", "--help"}},
                       {"ombrix-tool info on a 関東 day", {kBin + "/ombrix-tool", "info", rainFile().string()}}};
  return starts;
}

// A command of the full tool, and the desktop program, which ends after its first paint (the
// test hook of app/gui/first_paint_exit.h).
Starts& heavyStarts() {
  static Starts starts{{"minimal C++ program", {kMinimal}},
                       {"ombrix-tool series --help (full tool)", {kBin + "/ombrix-tool", "series", "--help"}},
                       {"ombrix to its first painted window", {kBin + "/ombrix"}}};
  return starts;
}

void timeInTurns(benchmark::State& state, Starts& starts) {
  for (auto _ : state) {
    for (Start& start : starts) {
      const auto begin = std::chrono::steady_clock::now();
      if (!runProgram(start.words)) state.SkipWithError(("did not run: " + start.figure).c_str());
      start.seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
      ++start.runs;
    }
  }
}

void BM_ToolStarts(benchmark::State& state) { timeInTurns(state, toolStarts()); }
void BM_FullToolAndDesktopStarts(benchmark::State& state) { timeInTurns(state, heavyStarts()); }
BENCHMARK(BM_ToolStarts)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BM_FullToolAndDesktopStarts)->Unit(benchmark::kMillisecond)->MinTime(5.0);

// The peak memory of a program in kilobytes, as the minimal program reports it; -1 on failure.
long peakKilobytes(const Words& words) {
  int pipe[2];
  if (::pipe(pipe) != 0) return -1;
  Words launched{kMinimal};
  launched.insert(launched.end(), words.begin(), words.end());
  const bool ran = runProgram(launched, pipe[1]);
  ::close(pipe[1]);
  char text[32] = {};
  const ssize_t n = ::read(pipe[0], text, sizeof text - 1);
  ::close(pipe[0]);
  return ran && n > 0 ? std::atol(text) : -1;
}

void checkPrograms() {
  for (const Starts* starts : {&toolStarts(), &heavyStarts()}) {
    for (const Start& start : *starts) {
      if (!runProgram(start.words)) fail("startup_bench: did not run: " + start.figure);
    }
  }
}

// Each program's mean time and peak memory beside the minimal program's of the same turns.
void printStarts() {
  for (const Starts* starts : {&toolStarts(), &heavyStarts()}) {
    const Start& minimal = starts->front();
    if (minimal.runs == 0) continue;
    const double minimalMs = minimal.seconds / static_cast<double>(minimal.runs) * 1e3;
    const double minimalMb = static_cast<double>(peakKilobytes(minimal.words)) / 1024;
    for (const Start& start : *starts) {
      if (&start == &minimal) continue;
      const double ms = start.seconds / static_cast<double>(start.runs) * 1e3;
      std::printf("start: %-40s %7.2f ms  minimal C++ program %5.2f ms  ratio %5.1fx   peak %5.1f MB (minimal %.1f MB)\n",
                  start.figure.c_str(), ms, minimalMs, ms / minimalMs,
                  static_cast<double>(peakKilobytes(start.words)) / 1024, minimalMb);
    }
  }
}

}  // namespace
}  // namespace ombrix::bench

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  ::setenv("OMBRIX_TEST_EXIT_AFTER_FIRST_PAINT", "1", 1);
  return ombrix::bench::runBenchmarks(argc, argv, ombrix::bench::checkPrograms, ombrix::bench::printStarts);
}
