// The main window's animation loop on the 全国 window of the sample archive (made and
// preprocessed by ombrix-tool): frames per second with the pace taken away, against the paced
// animation the program runs (one frame a second). Each frame is loaded, drawn with the
// coastline into PictArea and painted, with one pass of the event loop in between.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <chrono>
#include <filesystem>

#include "bench/bench_support.h"
#include "support/test_support.h"
#include "tests/ui/recording_message_sink.h"
#include "ui/app_look.h"
#include "ui/main_window.h"
#include "ui/map_viewer.h"

namespace ombrix::bench {
namespace {

namespace fs = std::filesystem;

constexpr const char* kFigure = "animation, 全国 sample on 689 x 593, per frame";

[[noreturn]] void fail(const std::string& message) {
  std::fprintf(stderr, "%s\n", message.c_str());
  std::exit(1);
}

// The sample archive preprocessed for the whole country, made once.
const fs::path& sampleFile() {
  static test::TempDir dir;
  static const fs::path path = [] {
    const std::string tool = test::shellQuote(std::string(OMBRIX_BIN_DIR) + "/ombrix-tool");
    const std::string archive = test::shellQuote((dir.path() / "archive").string());
    for (const std::string& command :
         {tool + " make-sample --archive " + archive,
          tool + " preprocess --archive " + archive + " --region 全国 --from 2005-07-01 --to 2005-07-03"}) {
      const test::CommandResult run = test::runCommand(command);
      if (run.exitCode != 0) fail(command + ": " + run.err);
    }
    for (const auto& entry : fs::directory_iterator(dir.path() / "archive")) {
      if (entry.path().extension() == ".RMD") return entry.path();
    }
    fail("the sample archive gave no RMD file");
  }();
  return path;
}

// Runs the animation of the sample file for `frames` frames per iteration at the given pace.
void animate(benchmark::State& state, double pace, int frames, const char* variant) {
  core::AnalysisConditions conditions;
  ui::test::RecordingMessageSink messages;
  ui::MainWindow window(conditions, messages, [](const QUrl&) {});
  window.show();
  ui::MapViewer& viewer = window.viewer();
  const fs::path& rmd = sampleFile();
  viewer.openFile(QString::fromStdString(rmd.parent_path().string()), QString::fromStdString(rmd.filename().string()));
  if (!conditions.fileOpen()) fail("cannot open " + rmd.string());
  viewer.setAnimationPace(pace);
  int shown = 0;
  QObject::connect(&viewer, &ui::MapViewer::frameShown, [&] {
    if (++shown == frames) viewer.stopAnimation();
  });
  double seconds = 0;
  for (auto _ : state) {
    shown = 0;
    const auto start = std::chrono::steady_clock::now();
    viewer.startAnimation();
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  const double total = static_cast<double>(frames) * static_cast<double>(state.iterations());
  state.counters["frames_per_second"] = total / seconds;
  recordFigure(kFigure, variant, seconds / total);
  if (!messages.shown.isEmpty()) fail(messages.shown.front().toStdString());
}

void BM_AnimationWithoutPace(benchmark::State& state) { animate(state, 0, 144, "fast"); }
BENCHMARK(BM_AnimationWithoutPace)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_AnimationAtItsPace(benchmark::State& state) { animate(state, ui::MapViewer::kAnimationPace, 2, "reference"); }
BENCHMARK(BM_AnimationAtItsPace)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace
}  // namespace ombrix::bench

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  ombrix::ui::prepareApplication();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  ombrix::bench::printRatios();
  return 0;
}
