#include "bench/bench_support.h"

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <map>

namespace ombrix::bench {

namespace {
std::map<std::string, std::map<std::string, double>>& figures() {
  static std::map<std::string, std::map<std::string, double>> table;
  return table;
}
}  // namespace

double Clocks::wallSeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double Clocks::processCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec * 1e-6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void recordFigure(const std::string& figure, const std::string& variant, double secondsPerIteration) {
  figures()[figure][variant] = secondsPerIteration;
}

void printRatios() {
  for (const auto& [figure, variants] : figures()) {
    const auto fast = variants.find("fast");
    const auto reference = variants.find("reference");
    if (fast == variants.end() || reference == variants.end() || fast->second <= 0) continue;
    std::printf("%-50s fast %.3f ms  reference %.3f ms  ratio %.1fx\n", figure.c_str(), fast->second * 1e3,
                reference->second * 1e3, reference->second / fast->second);
  }
}

void timeInTurns(benchmark::State& state, const std::string& figure, const std::function<void()>& fast,
                 const std::function<void()>& reference) {
  Clocks fastClocks;
  Clocks referenceClocks;
  for (auto _ : state) {
    fastClocks.time(fast);
    referenceClocks.time(reference);
  }
  const double iterations = static_cast<double>(state.iterations());
  state.counters["fast_ms"] = fastClocks.wall / iterations * 1e3;
  state.counters["fast_cpu_ms"] = fastClocks.cpu / iterations * 1e3;
  state.counters["reference_ms"] = referenceClocks.wall / iterations * 1e3;
  state.counters["reference_cpu_ms"] = referenceClocks.cpu / iterations * 1e3;
  recordFigure(figure, "fast", fastClocks.wall / iterations);
  recordFigure(figure, "reference", referenceClocks.wall / iterations);
}

int runBenchmarks(int argc, char** argv, const std::function<void()>& before, const std::function<void()>& after) {
  benchmark::Initialize(&argc, argv);
  before();
  benchmark::RunSpecifiedBenchmarks();
  printRatios();
  if (after) after();
  benchmark::Shutdown();
  return 0;
}

}  // namespace ombrix::bench
