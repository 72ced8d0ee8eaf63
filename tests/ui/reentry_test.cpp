// Handlers run inside the yields of the long commands: the preprocessing run, the accumulated
// and maximum maps, the whole-period export and the animation. Each case runs the handler from
// the command's first yield and checks that the command finishes on what it started with.
#include <QTimer>

#include "core/messages.h"
#include "core/rmd_file.h"
#include "tests/support/reliability_inputs.h"
#include "tests/ui/viewer_test_support.h"
#include "ui/preprocess_dialog.h"
#include "ui/qt_text.h"

namespace ombrix::ui::test {
namespace {

// Each case is named, and printed, by its name.
constexpr auto caseName = [](const auto& info) { return std::string(info.param.name); };

// ---- Preprocessing run ----

struct RunReentryTest;
struct RunReentry {
  const char* name;
  void (*inside)(RunReentryTest&);
};
void PrintTo(const RunReentry& c, std::ostream* out) { *out << c.name; }

// Days 1 to 6 of July 2005 are archived, each day's records holding its day number; the
// conditions are Kyushu from 1 to 3 July.
struct RunReentryTest : MainWindowFixture, ::testing::WithParamInterface<RunReentry> {
  RunReentryTest() {
    for (int day = 1; day <= 6; ++day) {
      ombrix::test::writeArchiveDay(archive.path(), kKyushuGrid, 2005, 7, day, 2,
                                    [day](int, std::size_t) { return static_cast<std::int16_t>(day); });
    }
    chooseKyushu(archive.path());
    setJulyPeriod(1, 3);
  }

  ombrix::test::TempDir archive;
};

TEST_P(RunReentryTest, TheRunWritesThePeriodItStartedWith) {
  trigger("MenuMaeshori");
  const std::string output = conditions.outputRmdPath;
  PreprocessDialog& run = window->preprocessDialog();
  QTimer::singleShot(0, &run, [this] { GetParam().inside(*this); });
  click(&run, "Command1");

  EXPECT_EQ(messages.shown.count(qtText(messages::kPreprocessingDone)), 1) << messages.shown.join(' ').toStdString();
  EXPECT_EQ(messages.shown.back(), qtText(messages::kPreprocessingDone));
  core::RmdContents contents;
  ASSERT_TRUE(core::readRmdFile(output, contents));
  ASSERT_EQ(contents.header.frameCount, 144);
  for (int day = 1; day <= 3; ++day) {
    std::vector<std::int16_t> cells;
    ASSERT_TRUE(core::readRmdFrame(output, contents.header, contents.index[(day - 1) * 48].frameOffset, cells));
    EXPECT_EQ(cells.front(), day);
  }
}

const RunReentry kRunReentries[] = {
    {"OtherDaysAreCatalogued", [](RunReentryTest& test) { test.setJulyPeriod(4, 6); }},
    {"APeriodIsRejected", [](RunReentryTest& test) { test.setJulyPeriod(1, 9); }},  // days 7 to 9 are missing
    {"TheRunIsStartedAgain", [](RunReentryTest& test) { test.window->preprocessDialog().run(); }},
};
INSTANTIATE_TEST_SUITE_P(Reentry, RunReentryTest, ::testing::ValuesIn(kRunReentries), caseName);

// ---- Viewer commands ----

struct ViewerReentryTest;
struct ViewerReentry {
  const char* name;
  const char* command;  // a button of the main window or a menu command
  void (*inside)(ViewerReentryTest&);
  const char* label;                  // frameLabel afterwards
  std::vector<messages::Text> shown;  // the messages shown, each followed by whatever path it names
};
void PrintTo(const ViewerReentry& c, std::ostream* out) { *out << c.name; }

// A file of two days over 4 x 5 cells is open, with frames 0 to 2 chosen; a second file of
// one day over 2 x 3 cells lies beside it.
struct ViewerReentryTest : ViewerFixture, ::testing::WithParamInterface<ViewerReentry> {
  ViewerReentryTest() {
    const auto value = [](int k, int cell) { return static_cast<std::int16_t>((cell * 7 + k * 3) % 90); };
    writeFile("Ka200475200476.RMD", 96, 4, 5, value);
    writeFile("Ky200475200475.RMD", 48, 2, 3, value);
    open("Ka200475200476.RMD");
    controls.endTime->setCurrentIndex(2);
  }
  void run(const char* command) {
    if (window->findChild<QAction*>(QString::fromUtf8(command)) != nullptr) {
      trigger(command);
    } else {
      click(window.get(), command);
    }
  }
};

TEST_P(ViewerReentryTest, TheCommandEndsOnWhatItStartedWith) {
  const ViewerReentry& c = GetParam();
  QTimer::singleShot(0, window.get(), [this, &c] { c.inside(*this); });
  run(c.command);

  EXPECT_EQ(conditions.frameLabel, c.label);
  ASSERT_EQ(messages.shown.size(), static_cast<qsizetype>(c.shown.size())) << messages.shown.join(' ').toStdString();
  for (std::size_t i = 0; i < c.shown.size(); ++i) {
    EXPECT_TRUE(messages.shown[static_cast<qsizetype>(i)].startsWith(qtText(c.shown[i]))) << i;
  }
  EXPECT_EQ(conditions.rainGrid.size(), static_cast<std::size_t>(conditions.file.header().gridRows * conditions.file.header().gridCols));
  EXPECT_EQ(conditions.viewerState, core::kViewerIdle);
}

const ViewerReentry kViewerReentries[] = {
    {"SumWhileTheFileIsClosed", "ComdAccum", [](ViewerReentryTest& test) { test.open(""); }, "",
     {messages::kFileNotFound}},
    {"SumWhileAnotherFileIsOpened", "ComdAccum", [](ViewerReentryTest& test) { test.open("Ky200475200475.RMD"); }, "", {}},
    {"MaximumWhileTheProgramEnds", "Comdmax", [](ViewerReentryTest& test) { test.trigger("MenuEnd"); }, "", {}},
    {"ExportWhileAFrameIsDrawn", "MenuExpAll",
     [](ViewerReentryTest& test) { test.click(test.window.get(), "Command3"); }, "200407050030",
     {messages::kCsvWritten}},
    {"ExportWhileASumIsComputed", "MenuExpAll",
     [](ViewerReentryTest& test) { test.click(test.window.get(), "ComdAccum"); }, "200407050000200407050100-SUM",
     {messages::kComputationDone, messages::kCsvWritten}},
    {"ExportWhileAnotherFileIsOpened", "MenuExpAll", [](ViewerReentryTest& test) { test.open("Ky200475200475.RMD"); },
     "", {messages::kCsvWritten}},
    {"ExportWhileADurationMapIsDrawn", "MenuExpAll",
     [](ViewerReentryTest& test) { test.messages.answers = {QStringLiteral("1")}; test.trigger("MenuDurationMax"); },
     "200407050000200407050100-MAX1H", {messages::kComputationDone, messages::kCsvWritten}},
    // The inner export takes the folder first; the outer one then finds it taken.
    {"ExportInsideAnExport", "MenuExpAll", [](ViewerReentryTest& test) { test.trigger("MenuExpAll"); },
     "2004070520040706", {messages::kCsvWritten, messages::kExportTargetExists}},
    // The animation steps on in the file now open and is stopped at its first frame there.
    {"AnimationWhileAnotherFileIsOpened", "Command5_0",
     [](ViewerReentryTest& test) {
       test.viewer.setAnimationPace(0);
       QObject::connect(&test.viewer, &MapViewer::frameShown, &test.viewer,
                        [&test] { test.click(test.window.get(), "Command5_1"); });
       test.open("Ky200475200475.RMD");
     },
     "200407050030", {}},
};
INSTANTIATE_TEST_SUITE_P(Reentry, ViewerReentryTest, ::testing::ValuesIn(kViewerReentries), caseName);

}  // namespace
}  // namespace ombrix::ui::test
