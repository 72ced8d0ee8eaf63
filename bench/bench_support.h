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

// The main of a benchmark program: before() checks that the fast and the reference
// implementations agree (or prints what the figures are measured on), then every benchmark
// runs and the ratios are printed, followed by after().
int runBenchmarks(int argc, char** argv, const std::function<void()>& before,
                  const std::function<void()>& after = {});

}  // namespace ombrix::bench
