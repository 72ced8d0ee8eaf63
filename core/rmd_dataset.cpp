#include "core/rmd_dataset.h"

#include <algorithm>
#include <system_error>
#include <utility>

#include "core/archive_calendar.h"

namespace ombrix::core {

namespace {

// Whether the file is large enough for its header, its index and one frame of its grid. A
// header claiming a grid the file cannot hold is refused before a grid is sized from it.
bool gridFitsFile(std::uint64_t fileSize, const RmdHeader& h) {
  const std::uint64_t needed = static_cast<std::uint64_t>(kRmdHeaderSize) +
                               static_cast<std::uint64_t>(kRmdIndexEntrySize) *
                                   static_cast<std::uint64_t>(h.frameCount) +
                               2 * static_cast<std::uint64_t>(h.cellCount());
  return fileSize >= needed;
}

}  // namespace

int cellStepScale(int year, int month) noexcept { return firstEra(year, month) ? 2 : 1; }

CellGrid cellGridOf(const RmdHeader& header, int year, int month) noexcept {
  const int scale = cellStepScale(year, month);
  return {header.fileWestLon, header.fileNorthLat, scale * header.cellLonStep, scale * header.cellLatStep,
          header.gridCols, header.gridRows};
}

Status parseUsableRmdHead(std::span<const std::uint8_t> head, std::uint64_t fileSize, const std::filesystem::path& path,
                          RmdContents& contents) {
  if (Status s = parseRmdHead(head, path.string(), contents); !s) return s;
  if (contents.header.cellLonStep <= 0 || contents.header.cellLatStep <= 0 || !gridFitsFile(fileSize, contents.header)) {
    return {Problem::NotRmdFile, path};
  }
  return {};
}

Status readUsableRmdHead(const std::filesystem::path& path, RmdContents& contents) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return {Problem::RmdFileMissing};
  Bytes head;
  std::uint64_t fileSize = 0;
  if (Status s = readRmdHead(path, head, fileSize); !s) return s;
  return parseUsableRmdHead(head, fileSize, path, contents);
}

int readableFrameCount(const RmdHeader& header, std::size_t indexSize) noexcept {
  if (header.frameCount <= 0) return 0;
  return static_cast<int>(std::min(static_cast<std::size_t>(header.frameCount), indexSize));
}

RmdDataset::RmdDataset(std::filesystem::path path, RmdContents contents)
    : path_(std::move(path)), contents_(std::move(contents)) {
  const TimeStamp first = contents_.index.empty() ? TimeStamp{} : contents_.index.front().stamp;
  grid_ = cellGridOf(contents_.header, first.year, first.month);
}

RmdDataset::RmdDataset(const RmdDataset& other) : path_(other.path_), contents_(other.contents_), grid_(other.grid_) {}

RmdDataset& RmdDataset::operator=(const RmdDataset& other) {
  if (this != &other) *this = RmdDataset(other);
  return *this;
}

Status RmdDataset::open(const std::filesystem::path& path) {
  RmdContents contents;
  if (Status s = readUsableRmdHead(path, contents); !s) return s;
  *this = RmdDataset(path, std::move(contents));
  return {};
}

int RmdDataset::frameCount() const noexcept { return readableFrameCount(contents_.header, contents_.index.size()); }

Status RmdDataset::openReader() {
  if (!readerOpen_) {
    if (Status s = reader_.open(path_); !s) return s;
    readerOpen_ = true;
  }
  return {};
}

Status RmdDataset::readFrame(int i, std::vector<std::int16_t>& cells) {
  return readCells(i, {0, header().cellCount()}, cells);
}

Status RmdDataset::readCells(int i, CellRange range, std::vector<std::int16_t>& cells) {
  if (i < 0 || i >= frameCount()) return {Problem::FrameNotInFile};
  if (Status s = openReader(); !s) return s;
  return reader_.read(header(), contents_.index[static_cast<std::size_t>(i)].frameOffset, range, cells);
}

Status RmdDataset::readCellSeries(std::size_t cell, std::vector<std::int16_t>& values) {
  if (Status s = openReader(); !s) return s;
  return readRmdCellSeries(reader_, contents_, cell, values);
}

}  // namespace ombrix::core
