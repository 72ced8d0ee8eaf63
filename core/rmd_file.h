#pragma once
// The preprocessed rainfall file (.RMD): a 28-byte header, a frame index of 10-byte entries,
// and frame data found only through each entry's frame offset.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/byte_io.h"
#include "core/input_file.h"
#include "core/output_file.h"
#include "core/problem.h"
#include "core/time_stamp.h"

namespace ombrix::core {

inline constexpr std::int64_t kRmdHeaderSize = 28;
inline constexpr std::int64_t kRmdIndexEntrySize = 10;
inline constexpr std::int64_t kRmdMaxOffset = 2147483647;  // offsets are int32

struct RmdHeader {
  std::int16_t frameCount = 0;
  std::int32_t fileWestLon = 0;
  std::int32_t fileNorthLat = 0;
  std::int32_t fileEastLon = 0;
  std::int32_t fileSouthLat = 0;
  std::int16_t gridRows = 0;
  std::int16_t gridCols = 0;
  std::int16_t cellLonStep = 0;
  std::int16_t cellLatStep = 0;
  std::int16_t noDataValue = -1;
  bool operator==(const RmdHeader&) const = default;
  std::size_t cellCount() const noexcept {
    return static_cast<std::size_t>(gridRows > 0 ? gridRows : 0) *
           static_cast<std::size_t>(gridCols > 0 ? gridCols : 0);
  }
};

struct FrameIndexEntry {
  TimeStamp stamp;
  std::int32_t frameOffset = 0;
  bool operator==(const FrameIndexEntry&) const = default;
};

struct RmdContents {
  RmdHeader header;
  std::vector<FrameIndexEntry> index;
};

// ---- Layout of a new file ----

// Frames per day S: 48 from June 2003 on, 24 before.
int framesPerDay(int startYear, int startMonth) noexcept;
// Era divisor k of the step fields: 2 for hourly data, 1 for half-hourly data.
int eraDivisor(int startYear, int startMonth) noexcept;
// Start D of the frame data area, and the offset of frame k, as 64-bit values (they are
// checked against kRmdMaxOffset before anything is written).
std::int64_t rmdDataStart(int framesPerDay, int frameCount) noexcept;
std::int64_t rmdFrameOffset(int framesPerDay, const RmdHeader& header, int k) noexcept;
// "Ka20036052003610.RMD": code, start year, month, two-digit day, end year, month, day.
std::string rmdFileName(std::string_view regionCode, int y0, int m0, int d0, int y1, int m1, int d1);

// ---- Reading ----

// Header and whole frame index, checked: the header must be complete, frameCount and the grid
// size positive, and the index complete. Frame data are not read. parseRmdHead decodes them
// from bytes (the head of the file or all of it); readRmdHead reads the head in one block and
// tells the file's size; readRmdFile does both.
Status parseRmdHead(std::span<const std::uint8_t> bytes, const std::string& name, RmdContents& contents);
Status readRmdHead(const std::filesystem::path& path, Bytes& head, std::uint64_t& fileSize);
Status readRmdFile(const std::filesystem::path& path, RmdContents& contents);

// Whether an index entry's offset points into the frame data area rather than at zero (a
// frame no archive record filled) or into the header and index.
bool frameHasData(const RmdHeader& header, std::int32_t frameOffset) noexcept;

// The cells first .. first + count - 1 of a frame (row-major, ID order).
struct CellRange {
  std::size_t first = 0;
  std::size_t count = 0;
};

// The one frame decoder: the cells of range of the frame at frameOffset, from `bytes`, the
// file's bytes from byte bytesStart on (all of the file from 0, or a block read from it for these
// cells). A frame without data gives cells of noDataValue. Bytes ending before the cells do
// are reported as a truncated file named name, cells unchanged.
Status decodeRmdFrame(std::span<const std::uint8_t> bytes, std::uint64_t bytesStart, const RmdHeader& header,
                      std::int32_t frameOffset, CellRange range, std::vector<std::int16_t>& cells,
                      const std::string& name);

// The frames of one file, read by offset from the file on disk or from its bytes in memory:
// a whole frame, a range of rows (cells first .. first + count - 1) or one cell. The file's
// size is checked before anything is sized, and the cells are read in blocks of a bounded
// size, so a read costs the cells asked for and no second copy of them.
class RmdFrameReader {
 public:
  // Refused with RmdFileGone when the file cannot be opened.
  Status open(const std::filesystem::path& path);
  // Reads from bytes (all of a file), which must outlive the reader; name is the file's in
  // messages.
  void openBytes(std::span<const std::uint8_t> bytes, std::string name);
  // Refused, cells unchanged: the file ends before the cells do, or has gone (a read error
  // in the middle may leave the cells partly read).
  Status read(const RmdHeader& header, std::int32_t frameOffset, CellRange range, std::vector<std::int16_t>& cells);
  Status readCell(const RmdHeader& header, std::int32_t frameOffset, std::size_t cell, std::int16_t& value);

 private:
  std::optional<std::uint64_t> size() const;
  std::optional<std::size_t> readAt(std::uint64_t offset, std::span<std::uint8_t> out) const;

  InputFile file_;
  std::optional<std::span<const std::uint8_t>> bytes_;
  std::string name_;
  Bytes block_;
};

// Reads the whole frame at frameOffset from the file at path (an RmdFrameReader for one frame).
Status readRmdFrame(const std::filesystem::path& path, const RmdHeader& header, std::int32_t frameOffset,
                    std::vector<std::int16_t>& cells);

// The value of one cell (row-major index) in every frame of the index, two bytes read per
// frame; frames without data give noDataValue. Refused like RmdFrameReader::read, values
// unchanged.
Status readRmdCellSeries(RmdFrameReader& reader, const RmdContents& contents, std::size_t cell,
                         std::vector<std::int16_t>& values);

// ---- Writing ----

// Writes a new file under a temporary name; commit() renames it over the target. Unwritten
// bytes read as zero, and the file ends with the last cell written.
class RmdWriter {
 public:
  Status create(const std::filesystem::path& target, const RmdHeader& header, int framesPerDay);
  // Index entry k with the record's stamp and frame offset 0.
  void setEntry(int k, const TimeStamp& stamp);
  // The cells of frame k (rows x cols, row-major), written into its slot; sets its offset.
  Status writeFrame(int k, std::span<const std::int16_t> cells);
  // Writes the header and index, syncs, and renames the file over the target.
  Status commit();
  std::int64_t frameOffset(int k) const noexcept;

 private:
  OutputFile file_;
  RmdHeader header_;
  int framesPerDay_ = 0;
  Bytes head_;  // header and index, written at commit
  Bytes frameBytes_;
};

void encodeRmdHeader(const RmdHeader& header, std::uint8_t* out) noexcept;

}  // namespace ombrix::core
