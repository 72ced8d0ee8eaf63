#pragma once
// Opening a preprocessed file for the viewer: its header and frame index, the texts the main
// window shows for it, and the drawing geometry for a surface of a given size.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/problem.h"
#include "core/rmd_dataset.h"
#include "core/rmd_file.h"
#include "viewer/surface_projection.h"

namespace ombrix::viewer {

// "2003/6/5 09: 30": month and day without, hour and minute with a leading zero.
std::string timeText(const core::TimeStamp& stamp);

// Everything a successful open sets, ready for the program's record and the window.
struct OpenedRmd {
  std::string path;
  std::string dir;   // openRmdDir
  core::RmdHeader header;
  std::vector<core::FrameIndexEntry> index;
  std::optional<std::string> areaName;  // region of the file name's code; none leaves areaName
  std::vector<std::string> timeTexts;   // one per frame, for both time lists
  // Corner read-outs in degrees: upper left (north, west) and lower right (south, east).
  std::string northLatText;
  std::string westLonText;
  std::string southLatText;
  std::string eastLonText;
  // Dates of the first and last frame as plain decimal numbers.
  std::string firstYearText, firstMonthText, firstDayText;
  std::string lastYearText, lastMonthText, lastDayText;
  int scaleFactor = 1;
  core::CellGrid grid;
  ViewGeometry geometry;

  // The file as a dataset of its own: its reader opens at its first read.
  core::RmdDataset dataset() const { return core::RmdDataset(path, {header, index}); }
};

// Opened (status ok), no file at the path (RmdFileMissing), or not a usable preprocessed file.
struct RmdOpening {
  core::Status status;
  OpenedRmd file;  // filled when opened (dir and path are always set)
};

// Reads the header and whole frame index of the file at path for a drawing surface of
// viewWidth x viewHeight units. Frame data are not read.
RmdOpening openRmdFile(const std::filesystem::path& path, float viewWidth, float viewHeight);
// The same for no drawing surface: the geometry is left empty.
RmdOpening openRmdFile(const std::filesystem::path& path);
// The same from bytes in memory: head holds the header and index (or the whole file) of a
// file of fileSize bytes at path.
RmdOpening openRmdBytes(std::span<const std::uint8_t> head, std::uint64_t fileSize,
                        const std::filesystem::path& path, float viewWidth, float viewHeight);

}  // namespace ombrix::viewer
