#include "bench/bench_support.h"

#include <cstdio>
#include <map>

namespace ombrix::bench {

namespace {
std::map<std::string, std::map<std::string, double>>& figures() {
  static std::map<std::string, std::map<std::string, double>> table;
  return table;
}
}  // namespace

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
