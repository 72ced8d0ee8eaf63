// The CSV exports from the menu, byte for byte as the batch tool writes them, and the point
// table window with its input box.
#include <QLabel>

#include "core/messages.h"
#include "tests/ui/viewer_test_support.h"
#include "ui/point_table_window.h"
#include "ui/progress_track.h"
#include "ui/qt_text.h"

namespace ombrix::ui::test {
namespace {

namespace fs = std::filesystem;

struct ViewerExportTest : ViewerFixture {
  ViewerExportTest() {
    rmd = writeFile("Ka200475200476.RMD", 96, 4, 5,
                    [](int k, int cell) { return static_cast<std::int16_t>((cell * 7 + k * 3) % 90 - 1); });
    open("Ka200475200476.RMD");
  }
  void expectSameFile(const std::string& name) {
    EXPECT_EQ(ombrix::test::readBytes(dir / name), ombrix::test::readBytes(work / name)) << name;
  }
  fs::path rmd;
};

TEST_F(ViewerExportTest, TheShownMapIsWrittenAsTheBatchToolWritesIt) {
  trigger("MenuExpNow");  // nothing drawn yet
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
  controls.startTime->setCurrentIndex(19);
  click(window.get(), "Command2");
  trigger("MenuExpNow");
  tool("export-frame", rmd, "--frame 19");
  expectSameFile("Ka200407050930.CSV");

  controls.startTime->setCurrentIndex(3);
  controls.endTime->setCurrentIndex(50);
  click(window.get(), "ComdAccum");
  trigger("MenuExpNow");
  tool("export-sum", rmd, "--from 3 --to 50");
  expectSameFile("Ka200407050130200407060100-SUM.CSV");
  EXPECT_EQ(messages.shown, QStringList{qtText(messages::kComputationDone)});
}

TEST_F(ViewerExportTest, ThePeriodSetIsWrittenOnce) {
  trigger("MenuExpAll");
  EXPECT_EQ(messages.shown, QStringList{qtText(messages::kCsvWritten)});
  EXPECT_EQ(conditions.frameLabel, "2004070520040706");
  EXPECT_EQ(control<QFrame>(window.get(), QStringLiteral("Reading_Bar"))->width(), viewer.progress().trackWidth());
  tool("export-period", rmd, "");
  for (const char* name : {"FileList.txt", "20040705.CSV", "20040706.CSV"}) {
    expectSameFile(std::string("Ka2004070520040706/") + name);
  }
  trigger("MenuExpAll");
  EXPECT_EQ(messages.shown.back(),
            qtText(messages::kExportTargetExists) + QString::fromStdString((dir / "Ka2004070520040706").string()));
}

TEST_F(ViewerExportTest, TheGisMenuWritesTheFileBesideItAndTheShownMapAsTheBatchTool) {
  trigger("MenuGisGeoTiff");  // nothing drawn yet
  trigger("MenuGisNetcdf");
  const fs::path cube = dir / "Ka200475200476.nc";
  EXPECT_EQ(messages.shown, QStringList{qtText(messages::kNetcdfWritten) + QString::fromStdString(cube.string())});
  EXPECT_EQ(control<QFrame>(window.get(), QStringLiteral("Reading_Bar"))->width(), viewer.progress().trackWidth());
  trigger("MenuGisNetcdf");
  EXPECT_EQ(messages.shown.back(), qtText(messages::kExportTargetExists) + QString::fromStdString(cube.string()));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);

  controls.startTime->setCurrentIndex(19);
  click(window.get(), "Command2");
  trigger("MenuGisGeoTiff");
  tool("export-geotiff", rmd, "--frame 19");
  expectSameFile("Ka200407050930.tif");
}

TEST_F(ViewerExportTest, ThePointTableWindowAsksForTheIdAndWritesTheTable) {
  trigger("MenuExpAll");
  const fs::path set = dir / "Ka2004070520040706";
  trigger("menuCSVTable");
  PointTableWindow& table = viewer.pointTableWindow();
  EXPECT_EQ(table.windowTitle(), QStringLiteral("CSVレーダアメダスデータのIDテーブルの出力"));
  EXPECT_EQ(table.size(), QSize(393, 268));
  const QString dataPath = readout("DataPath");

  messages.shown.clear();
  ASSERT_TRUE(table.directoryList().openDirectory(QString::fromStdString(dir.path().string())));
  click(&table, "Command1");
  EXPECT_EQ(messages.shown, QStringList{qtText(messages::kFileListMissing)});
  EXPECT_EQ(conditions.archiveDir, dir.path().string());

  ASSERT_TRUE(table.directoryList().openDirectory(QString::fromStdString(set.string())));
  messages.answers = {std::nullopt, QStringLiteral("zwölf"), QStringLiteral("7")};
  for (int press = 0; press < 3; ++press) click(&table, "Command1");
  const QString ok = qtText(messages::kFileListFound);
  const QString written = qtText(messages::kTableWrittenPrefix) + QString::fromStdString((set / "7.csv").string()) +
                          qtText(messages::kTableWrittenSuffix);
  EXPECT_EQ(messages.shown.mid(1), (QStringList{ok, qtText(messages::kCellIdNotEntered), ok,
                                                qtText(messages::kCellIdNotWhole), ok, written}));
  EXPECT_EQ(messages.prompts, QStringList(3, qtText(messages::kAskCellId)));
  EXPECT_EQ(conditions.archiveDir, set.string());
  EXPECT_EQ(readout("DataPath"), dataPath);

  tool("export-period", rmd, "");
  tool("table", work / "Ka2004070520040706", "--id 7");  // the set in work is its own copy
  expectSameFile("Ka2004070520040706/7.csv");
}

}  // namespace
}  // namespace ombrix::ui::test
