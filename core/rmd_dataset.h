#pragma once
// An open preprocessed file as one value: its path, header, frame index, where its cells lie,
// and a reader that stays open. The libraries take this (or its cell grid alone) rather than
// the program's state record.
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "core/problem.h"
#include "core/rmd_file.h"

namespace ombrix::core {

// Where the cells of a file lie, as its CSV exports write them (Keido/Ido): the centre of the
// first cell and the steps between cells, in microdegrees, and the size of the grid.
struct CellGrid {
  std::int32_t westLon = 0;
  std::int32_t northLat = 0;
  std::int32_t cellWidth = 0;
  std::int32_t cellHeight = 0;
  int columns = 0;
  int rows = 0;
  bool operator==(const CellGrid&) const = default;
};

// Scale of the step fields: 2 for grids whose first frame is before April 2001, else 1.
int cellStepScale(int year, int month) noexcept;
// The cells of a grid with this header whose first frame falls in year/month.
CellGrid cellGridOf(const RmdHeader& header, int year, int month) noexcept;

// The header and index from bytes (the head of a file of fileSize bytes, or all of it),
// refused as NotRmdFile when the cell steps are not positive or the file cannot hold one frame
// of its grid.
Status parseUsableRmdHead(std::span<const std::uint8_t> head, std::uint64_t fileSize, const std::filesystem::path& path,
                          RmdContents& contents);
// The same from the file at path; RmdFileMissing when no regular file is there.
Status readUsableRmdHead(const std::filesystem::path& path, RmdContents& contents);

// The reader is opened at the first read and stays open: frames are read from the file that
// was there then, whatever is opened or renamed meanwhile. A copy names the same file with the
// same header and index, and opens a reader of its own at its first read.
class RmdDataset {
 public:
  RmdDataset() = default;
  RmdDataset(const RmdDataset& other);
  RmdDataset& operator=(const RmdDataset& other);
  RmdDataset(RmdDataset&&) noexcept = default;
  RmdDataset& operator=(RmdDataset&&) noexcept = default;
  ~RmdDataset() = default;
  // The file at path with a header and index read before.
  RmdDataset(std::filesystem::path path, RmdContents contents);
  // Opens the file at path, refused as readUsableRmdHead refuses.
  Status open(const std::filesystem::path& path);

  const std::filesystem::path& path() const noexcept { return path_; }
  // Whether the dataset names a file (a default dataset names none).
  bool isOpen() const noexcept { return !path_.empty(); }
  const RmdHeader& header() const noexcept { return contents_.header; }
  const std::vector<FrameIndexEntry>& index() const noexcept { return contents_.index; }
  const RmdContents& contents() const noexcept { return contents_; }
  const CellGrid& grid() const noexcept { return grid_; }
  // How many frames can be read (0 .. count - 1): never more than the index holds.
  int frameCount() const noexcept;
  // The index entries of those frames.
  std::span<const FrameIndexEntry> frames() const noexcept {
    return std::span(contents_.index).first(static_cast<std::size_t>(frameCount()));
  }

  // Frame i (row-major, a grid of noDataValue for a frame without data), or the cells of range
  // of it. Refused, cells unchanged: FrameNotInFile for i outside the index, and the reader's
  // refusals.
  Status readFrame(int i, std::vector<std::int16_t>& cells);
  Status readCells(int i, CellRange range, std::vector<std::int16_t>& cells);
  // One cell in every frame of the index, as readRmdCellSeries reads it.
  Status readCellSeries(std::size_t cell, std::vector<std::int16_t>& values);

 private:
  // Opens the reader at the first read: refused with RmdFileGone when it cannot be opened.
  Status openReader();

  std::filesystem::path path_;
  RmdContents contents_;
  CellGrid grid_;
  RmdFrameReader reader_;
  bool readerOpen_ = false;
};

// How many frames of a file with this header and index can be read.
int readableFrameCount(const RmdHeader& header, std::size_t indexSize) noexcept;

}  // namespace ombrix::core
