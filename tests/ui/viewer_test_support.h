#pragma once
// Shared by the viewer window tests: a main window with RMD files in a temporary folder,
// opened through the file dialog, and the batch tool for reference outputs.
#include <QComboBox>
#include <QImage>
#include <QListWidget>
#include <filesystem>
#include <string>

#include "support/sample_rmd.h"
#include "support/test_support.h"
#include "tests/ui/ui_test_support.h"
#include "ui/file_open_dialog.h"
#include "ui/map_surface.h"
#include "ui/map_viewer.h"

namespace ombrix::ui::test {

// Stamps of consecutive half-hours from 2004-07-05 00:00.
inline std::vector<core::TimeStamp> halfHours(int frames) {
  std::vector<core::TimeStamp> stamps = ombrix::test::dayStamps(2004, 7, 5, (frames + 47) / 48, 48);
  stamps.resize(static_cast<std::size_t>(frames));
  return stamps;
}

struct ViewerFixture : MainWindowFixture {
  ViewerFixture() : viewer(window->viewer()), controls(window->drawingControls()) {}

  // An RMD file of frames half-hourly frames near Tokyo Bay, so that coastlines cross it.
  std::filesystem::path writeFile(const std::string& name, int frames, int rows, int cols,
                                  const ombrix::test::CellValue& value) {
    core::RmdHeader header = ombrix::test::sampleGrid(frames, rows, cols);
    header.fileWestLon = 139'600'000;
    header.fileNorthLat = 35'700'000;
    header.fileEastLon = header.fileWestLon + (cols - 1) * header.cellLonStep;
    header.fileSouthLat = header.fileNorthLat - (rows - 1) * header.cellLatStep;
    const std::filesystem::path path = dir / name;
    ombrix::test::writeSampleRmd(path, header, 48, halfHours(frames), value);
    return path;
  }

  // Chooses name in the file dialog's list of dir (none when empty) and presses "選択".
  void open(const std::string& name) {
    FileOpenDialog& dialog = viewer.fileOpenDialog();
    viewer.showFileOpenDialog();
    dialog.directoryList().openDirectory(QString::fromStdString(dir.path().string()));
    dialog.fileList().clearSelection();
    if (!name.empty()) {
      const QList<QListWidgetItem*> items = dialog.fileList().findItems(QString::fromStdString(name), Qt::MatchExactly);
      ASSERT_EQ(items.size(), 1) << name;
      items.front()->setSelected(true);
    }
    click(&dialog, "Command1");
  }

  int position() const { return controls.startTime->currentIndex(); }
  const QImage& picture() const { return viewer.surface().image(); }

  // The PNG that "ombrix-tool render FILE how" writes for the viewer's surface size.
  QImage renderedByTool(const std::filesystem::path& rmd, const std::string& how) {
    const std::filesystem::path png = work / "render.png";
    const ombrix::test::CommandResult run =
        ombrix::test::runCommand(ombrix::test::shellQuote(std::string(OMBRIX_BIN_DIR) + "/ombrix-tool") + " render " +
                                 ombrix::test::shellQuote(rmd.string()) + " " + how + " --png " +
                                 ombrix::test::shellQuote(png.string()));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    return QImage(QString::fromStdString(png.string())).convertToFormat(QImage::Format_RGB32);
  }

  ombrix::test::TempDir dir;   // the files the window opens and exports into
  ombrix::test::TempDir work;  // reference outputs of the batch tool
  MapViewer& viewer;
  const DrawingControls& controls;
};

}  // namespace ombrix::ui::test
