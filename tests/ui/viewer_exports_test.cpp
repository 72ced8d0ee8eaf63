// The CSV exports from the menu, byte for byte as the batch tool writes them, and the point
// table window with its input box.
#include <QIcon>
#include <QLabel>
#include <QLineEdit>

#include "core/messages.h"
#include "tests/ui/viewer_test_support.h"
#include "ui/app_look.h"
#include "ui/point_table_window.h"
#include "ui/progress_track.h"
#include "ui/qt_text.h"

namespace ombrix::ui::test {
namespace {

namespace fs = std::filesystem;

std::int16_t exportValue(int k, int cell) { return static_cast<std::int16_t>((cell * 7 + k * 3) % 90 - 1); }

constexpr const char* kName = "Ka200475200476.RMD";

struct ViewerExportTest : ViewerFixture {
  ViewerExportTest() {
    rmd = writeFile(kName, 96, 4, 5, exportValue);
    fs::create_directory(work / "tool");
    fs::copy_file(rmd, work / "tool" / kName);
    open(kName);
    messages.shown.clear();
  }
  // Runs "ombrix-tool <command> <the copy of the file> <options>" beside the copy.
  void tool(const std::string& command, const std::string& options) {
    const ombrix::test::CommandResult run = ombrix::test::runCommand(
        ombrix::test::shellQuote(std::string(OMBRIX_BIN_DIR) + "/ombrix-tool") + " " + command + " " +
        ombrix::test::shellQuote((work / "tool" / kName).string()) + " " + options);
    ASSERT_EQ(run.exitCode, 0) << run.err;
  }
  void expectSameFile(const std::string& name) {
    ASSERT_TRUE(fs::exists(dir / name)) << name;
    EXPECT_EQ(ombrix::test::readBytes(dir / name), ombrix::test::readBytes(work / "tool" / name)) << name;
  }
  std::size_t filesInDir() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()));
  }
  fs::path rmd;
};

TEST_F(ViewerExportTest, NothingIsWrittenBeforeAMapIsDrawn) {
  trigger("MenuExpNow");
  EXPECT_EQ(filesInDir(), 1u);
  // Nor after another file is opened, until one of its maps is drawn.
  click(window.get(), "Command3");
  writeFile("Ky200475200475.RMD", 2, 3, 3, exportValue);
  open("Ky200475200475.RMD");
  trigger("MenuExpNow");
  EXPECT_EQ(filesInDir(), 2u);
  EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(ViewerExportTest, TheShownMapIsWrittenAsTheBatchToolWritesIt) {
  controls.startTime->setCurrentIndex(19);
  click(window.get(), "Command2");
  trigger("MenuExpNow");
  tool("export-frame", "--frame 19");
  expectSameFile("Ka200407050930.CSV");

  controls.startTime->setCurrentIndex(3);
  controls.endTime->setCurrentIndex(50);
  click(window.get(), "ComdAccum");
  messages.shown.clear();
  trigger("MenuExpNow");
  tool("export-sum", "--from 3 --to 50");
  expectSameFile("Ka200407050130200407060100-SUM.CSV");

  click(window.get(), "Comdmax");
  trigger("MenuExpNow");
  tool("export-max", "--from 3 --to 50");
  expectSameFile("Ka200407050130200407060100-MAX.CSV");
  EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(ViewerExportTest, ThePeriodSetIsWrittenOnceWithProgressAndMessages) {
  QList<int> widths;
  QObject::connect(&viewer.progress(), &ProgressTrack::barWidthSet, [&](int width) { widths.append(width); });
  trigger("MenuExpAll");
  EXPECT_EQ(messages.shown, QStringList{qtText(messages::kCsvWritten)});
  EXPECT_EQ(conditions.frameLabel, "2004070520040706");
  const int track = viewer.progress().trackWidth();
  ASSERT_FALSE(widths.isEmpty());
  EXPECT_EQ(widths.front(), 0);
  EXPECT_EQ(widths.back(), track);
  tool("export-period", "");
  for (const char* name : {"FileList.txt", "20040705.CSV", "20040706.CSV"}) {
    expectSameFile(std::string("Ka2004070520040706/") + name);
  }

  messages.shown.clear();
  trigger("MenuExpAll");
  const fs::path folder = dir / "Ka2004070520040706";
  EXPECT_EQ(messages.shown, QStringList{qtText(messages::kExportTargetExists) + QString::fromStdString(folder.string())});
}

TEST_F(ViewerExportTest, ThePointTableWindowAsksForTheIdAndWritesTheTable) {
  trigger("MenuExpAll");
  messages.shown.clear();
  const fs::path set = dir / "Ka2004070520040706";
  trigger("menuCSVTable");
  PointTableWindow& table = viewer.pointTableWindow();
  EXPECT_TRUE(table.isVisible());
  EXPECT_EQ(table.objectName(), QStringLiteral("FilePathCSV"));
  EXPECT_EQ(table.windowTitle(), QStringLiteral("CSVレーダアメダスデータのIDテーブルの出力"));
  EXPECT_EQ(table.size(), QSize(393, 268));
  EXPECT_NE(table.windowIcon().cacheKey(), appIcon().cacheKey());
  EXPECT_TRUE(control<QLabel>(&table, QStringLiteral("Label1"))->text().startsWith(QStringLiteral("CSV出力した期間フォルダー")));
  const QString dataPath = readout("DataPath");

  // A folder without a list: refused at once.
  ASSERT_TRUE(table.directoryList().openDirectory(QString::fromStdString(dir.path().string())));
  click(&table, "Command1");
  EXPECT_EQ(messages.shown, QStringList{qtText(messages::kFileListMissing)});
  EXPECT_EQ(conditions.archiveDir, dir.path().string());
  EXPECT_EQ(readout("DataPath"), dataPath);

  ASSERT_TRUE(table.directoryList().openDirectory(QString::fromStdString(set.string())));
  const QStringList ok{qtText(messages::kFileListFound)};
  messages.shown.clear();
  messages.answers = {std::nullopt, QStringLiteral("zwölf"), QStringLiteral("7")};
  click(&table, "Command1");
  EXPECT_EQ(messages.shown, ok + QStringList{qtText(messages::kCellIdNotEntered)});
  messages.shown.clear();
  click(&table, "Command1");
  EXPECT_EQ(messages.shown, ok + QStringList{qtText(messages::kCellIdNotWhole)});
  EXPECT_EQ(std::distance(fs::directory_iterator(set), fs::directory_iterator()), 3);
  messages.shown.clear();
  click(&table, "Command1");
  const fs::path written = set / "7.csv";
  EXPECT_EQ(messages.shown, ok + QStringList{qtText(messages::kTableWrittenPrefix) + QString::fromStdString(written.string()) +
                                                qtText(messages::kTableWrittenSuffix)});
  EXPECT_EQ(messages.prompts, QStringList(3, qtText(messages::kAskCellId)));
  EXPECT_EQ(conditions.archiveDir, set.string());

  tool("export-period", "");
  const ombrix::test::CommandResult run = ombrix::test::runCommand(
      ombrix::test::shellQuote(std::string(OMBRIX_BIN_DIR) + "/ombrix-tool") + " table " +
      ombrix::test::shellQuote((work / "tool" / "Ka2004070520040706").string()) + " --id 7");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(ombrix::test::readBytes(written), ombrix::test::readBytes(work / "tool" / "Ka2004070520040706" / "7.csv"));

  click(&table, "Command2");
  EXPECT_FALSE(table.isVisible());
}

}  // namespace
}  // namespace ombrix::ui::test
