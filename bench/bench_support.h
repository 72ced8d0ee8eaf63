#pragma once
// Benchmarks report each figure next to the plain reference implementation measured in the
// same run; these helpers keep that reporting uniform.
#include <benchmark/benchmark.h>

#include <functional>
#include <string>

namespace ombrix::bench {

// Records the fast and reference times (seconds per iteration) of one figure and prints the
// ratio when both are known, after all benchmarks have run.
void recordFigure(const std::string& figure, const std::string& variant, double secondsPerIteration);
void printRatios();

// Wall and process CPU seconds (every thread's: the figure the machine's other load does not
// inflate) of the work timed, summed over the calls.
struct Clocks {
  double wall = 0;
  double cpu = 0;
  template <typename Work>
  void time(const Work& work) {
    const double wall0 = wallSeconds();
    const double cpu0 = processCpuSeconds();
    work();
    wall += wallSeconds() - wall0;
    cpu += processCpuSeconds() - cpu0;
  }
  static double wallSeconds();
  static double processCpuSeconds();
};

// Times fast() and reference() in turns, once each per iteration, so that both see the same
// load; records the figure and gives wall and process CPU milliseconds of each as counters.
void timeInTurns(benchmark::State& state, const std::string& figure, const std::function<void()>& fast,
                 const std::function<void()>& reference);

// The main of a benchmark program: before() checks that the fast and the reference
// implementations agree (or prints what the figures are measured on), then every benchmark
// runs and the ratios are printed, followed by after().
int runBenchmarks(int argc, char** argv, const std::function<void()>& before,
                  const std::function<void()>& after = {});

}  // namespace ombrix::bench
