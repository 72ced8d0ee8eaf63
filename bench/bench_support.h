#pragma once
// Benchmarks report each figure next to the plain reference implementation measured in the
// same run; these helpers keep that reporting uniform.
#include <benchmark/benchmark.h>

#include <string>

namespace ombrix::bench {

// Records the fast and reference times (seconds per iteration) of one figure and prints the
// ratio when both are known, after all benchmarks have run.
void recordFigure(const std::string& figure, const std::string& variant, double secondsPerIteration);
void printRatios();

}  // namespace ombrix::bench
