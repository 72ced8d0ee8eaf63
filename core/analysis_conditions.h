#pragma once
// The program-wide state record: what the user chose for a preprocessing run, and the state of
// the preprocessed file open in the viewer. One instance is created in main() and handed on.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/frame_source.h"
#include "core/period_check.h"
#include "core/preprocess_run.h"
#include "core/region_table.h"
#include "core/rmd_dataset.h"
#include "core/rmd_file.h"
#include "core/shown_map.h"
#include "core/view_geometry.h"

namespace ombrix::core {

struct AnalysisConditions {
  // Area, microdegrees (degrees x 1,000,000). Set when any edge is not 0.
  AreaBounds area{};
  std::string areaName;

  // Period (index 0 = start, 1 = end) and the archive catalogue. Set when archiveFileCount != 0.
  std::array<std::int32_t, 2> periodYear{};
  std::array<std::int32_t, 2> periodMonth{};
  std::array<std::int32_t, 2> periodDay{};
  std::array<std::int32_t, 2> periodHour{};
  std::array<std::int32_t, 2> periodMinute{};
  std::int32_t archiveFileCount = 0;
  std::vector<std::string> archiveFiles;

  // Archive directory: also where preprocessing writes. Set when not empty.
  std::string archiveDir;

  // Preprocessing run.
  std::string outputRmdPath;
  std::int16_t outFrameCount = 0;
  std::uint8_t halfHourly = 0;

  // The open preprocessed file (a dataset without a path: none), and the folder of the file
  // dialog.
  RmdDataset file;
  std::string openRmdDir;
  // The grid shown, row-major: cell (column c, row r) is rainGrid[r * gridCols + c].
  std::vector<std::int16_t> rainGrid;

  // The drawing geometry, computed when a file is opened.
  ViewGeometry geometry;

  // Viewer.
  std::string frameLabel;
  std::uint8_t viewerState = 0;  // 0 idle, 1 computing, 2 animating

  // Whether a file is open.
  bool fileOpen() const noexcept { return file.isOpen(); }
  // No file open any more; the header and index of the last one stay, as the grid shown does.
  void closeFile() { file = RmdDataset({}, file.contents()); }
  // The open file as a dataset of its own, for work that yields: a file opened meanwhile does
  // not change what it reads. Its reader opens at its first read.
  RmdDataset openFileDataset() const { return file; }
  // The map shown (rainGrid labelled frameLabel), for its exports into openRmdDir.
  ShownMap shownMap() const { return {rainGrid, frameLabel, file.grid(), openRmdDir}; }

  // The area, period, catalogue and archive directory, as a run over the archive takes them.
  ArchiveSelection archiveSelection() const;
  // A checked period becomes the period (from midnight to midnight) and the catalogue.
  void setPeriod(const ArchivePeriod& period);
  // Stores halfHourly and outFrameCount when the run decided them; nothing else is touched.
  void takePreprocessResult(const PreprocessResult& result) noexcept;
  // An opened file becomes the open file: its folder the file dialog's, its region (when its
  // name tells one) the area's name, the drawing geometry the given one; the grid shown is
  // cleared to the file's cells.
  void takeOpenedFile(RmdDataset opened, const ViewGeometry& drawing, const std::optional<std::string>& region);
  // The file asked for is missing: no file open, and the file dialog opens in folder.
  void fileMissing(std::string folder);
  // A map becomes the one shown: rainGrid labelled frameLabel.
  void showMap(std::vector<std::int16_t> grid, std::string label);
};

inline constexpr std::uint8_t kViewerIdle = 0;
inline constexpr std::uint8_t kViewerComputing = 1;
inline constexpr std::uint8_t kViewerAnimating = 2;

}  // namespace ombrix::core
