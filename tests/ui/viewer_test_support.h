#pragma once
// Shared by the viewer window tests: a main window with RMD files in a temporary folder, opened
// through the file dialog.
#include <QComboBox>
#include <QImage>
#include <QListWidget>
#include <filesystem>
#include <string>

#include "support/sample_rmd.h"
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
    ombrix::test::writeSampleRmd(dir / name, ombrix::test::sampleGrid(frames, rows, cols, 139'600'000, 35'700'000), 48,
                                 ombrix::test::dayStamps(2004, 7, 5, (frames + 47) / 48, 48), value);
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

  int position() const { return controls.startTime->currentIndex(); }
  QString entry(int k) const { return controls.startTime->itemText(k); }
  const QImage& picture() const { return viewer.surface().image(); }

  ombrix::test::TempDir dir;  // the files the window opens and exports into
  MapViewer& viewer;
  const DrawingControls& controls;
};

}  // namespace ombrix::ui::test
