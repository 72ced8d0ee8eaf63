#pragma once
// Shared by the viewer window tests: a main window with RMD files in a temporary folder, opened
// through the file dialog, and the batch tool for reference outputs.
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

struct ViewerFixture : MainWindowFixture {
  ViewerFixture() : viewer(window->viewer()), controls(window->drawingControls()) {}

  // Half-hourly frames from 2004-07-05 00:00 on a grid near Tokyo Bay, which the coastline crosses.
  std::filesystem::path writeFile(const std::string& name, int frames, int rows, int cols,
                                  const ombrix::test::CellValue& value) {
    core::RmdHeader h = ombrix::test::sampleGrid(frames, rows, cols);
    h.fileWestLon = 139'600'000;
    h.fileNorthLat = 35'700'000;
    h.fileEastLon = h.fileWestLon + (cols - 1) * h.cellLonStep;
    h.fileSouthLat = h.fileNorthLat - (rows - 1) * h.cellLatStep;
    std::vector<core::TimeStamp> stamps = ombrix::test::dayStamps(2004, 7, 5, (frames + 47) / 48, 48);
    stamps.resize(static_cast<std::size_t>(frames));
    ombrix::test::writeSampleRmd(dir / name, h, 48, stamps, value);
    return dir / name;
  }

  // Chooses name (none when empty) in the file dialog's list of dir and presses "選択".
  void open(const std::string& name) {
    FileOpenDialog& dialog = viewer.fileOpenDialog();
    viewer.showFileOpenDialog();
    dialog.directoryList().openDirectory(QString::fromStdString(dir.path().string()));
    dialog.fileList().clearSelection();
    for (QListWidgetItem* item : dialog.fileList().findItems(QString::fromStdString(name), Qt::MatchExactly)) {
      item->setSelected(true);
    }
    click(&dialog, "Command1");
  }

  // The batch tool on a copy of rmd in work, so that its outputs do not meet the window's.
  void tool(const std::string& command, const std::filesystem::path& rmd, const std::string& options) {
    const std::filesystem::path copy = work / rmd.filename();
    if (!std::filesystem::exists(copy)) std::filesystem::copy_file(rmd, copy);
    const ombrix::test::CommandResult run = ombrix::test::runCommand(
        ombrix::test::shellQuote(std::string(OMBRIX_BIN_DIR) + "/ombrix-tool") + " " + command + " " +
        ombrix::test::shellQuote(copy.string()) + " " + options);
    ASSERT_EQ(run.exitCode, 0) << run.err;
  }
  QImage renderedByTool(const std::filesystem::path& rmd, const std::string& how) {
    tool("render", rmd, how + " --png " + ombrix::test::shellQuote((work / "render.png").string()));
    return QImage(QString::fromStdString((work / "render.png").string())).convertToFormat(QImage::Format_RGB32);
  }

  int position() const { return controls.startTime->currentIndex(); }
  QString entry(int k) const { return controls.startTime->itemText(k); }
  const QImage& picture() const { return viewer.surface().image(); }

  ombrix::test::TempDir dir;   // the files the window opens and exports into
  ombrix::test::TempDir work;  // the batch tool's outputs
  MapViewer& viewer;
  const DrawingControls& controls;
};

}  // namespace ombrix::ui::test
