#include "core/rmd_file.h"

#include <bit>
#include <fstream>

#include "core/messages.h"

namespace ombrix::core {

namespace {

std::string withPath(std::string_view message, const std::string& path) { return std::string(message) + path; }

bool halfHourlyPeriod(int year, int month) noexcept { return year > 2003 || (year == 2003 && month >= 6); }

std::string twoDigits(int value) {
  std::string text = std::to_string(value);
  return value >= 0 && value < 10 ? "0" + text : text;
}

RmdHeader decodeHeader(const std::uint8_t* p) noexcept {
  RmdHeader h;
  h.frameCount = readI16LE(p + 0);
  h.fileWestLon = readI32LE(p + 2);
  h.fileNorthLat = readI32LE(p + 6);
  h.fileEastLon = readI32LE(p + 10);
  h.fileSouthLat = readI32LE(p + 14);
  h.gridRows = readI16LE(p + 18);
  h.gridCols = readI16LE(p + 20);
  h.cellLonStep = readI16LE(p + 22);
  h.cellLatStep = readI16LE(p + 24);
  h.noDataValue = readI16LE(p + 26);
  return h;
}

FrameIndexEntry decodeEntry(const std::uint8_t* p) noexcept {
  FrameIndexEntry e;
  e.stamp = {readI16LE(p), p[2], p[3], p[4], p[5]};
  e.frameOffset = readI32LE(p + 6);
  return e;
}

void encodeEntry(const TimeStamp& stamp, std::int32_t offset, std::uint8_t* p) noexcept {
  writeI16LE(p, stamp.year);
  p[2] = stamp.month;
  p[3] = stamp.day;
  p[4] = stamp.hour;
  p[5] = stamp.minute;
  writeI32LE(p + 6, offset);
}

// Reads up to count bytes at offset; returns what was read.
Bytes readBlock(std::ifstream& in, std::int64_t offset, std::size_t count) {
  Bytes bytes(count);
  in.seekg(offset);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(count));
  bytes.resize(in ? count : static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
  return bytes;
}

}  // namespace

int framesPerDay(int startYear, int startMonth) noexcept { return halfHourlyPeriod(startYear, startMonth) ? 48 : 24; }

int eraDivisor(int startYear, int startMonth) noexcept { return halfHourlyPeriod(startYear, startMonth) ? 1 : 2; }

std::int64_t rmdDataStart(int perDay, int frameCount) noexcept {
  return kRmdHeaderSize + kRmdIndexEntrySize * perDay * static_cast<std::int64_t>(frameCount);
}

std::int64_t rmdFrameOffset(int perDay, int frameCount, int rows, int cols, int k) noexcept {
  return rmdDataStart(perDay, frameCount) + static_cast<std::int64_t>(k) * 4 * rows * cols;
}

std::string rmdFileName(std::string_view code, int y0, int m0, int d0, int y1, int m1, int d1) {
  return std::string(code) + std::to_string(y0) + std::to_string(m0) + twoDigits(d0) + std::to_string(y1) +
         std::to_string(m1) + twoDigits(d1) + ".RMD";
}

void encodeRmdHeader(const RmdHeader& h, std::uint8_t* p) noexcept {
  writeI16LE(p + 0, h.frameCount);
  writeI32LE(p + 2, h.fileWestLon);
  writeI32LE(p + 6, h.fileNorthLat);
  writeI32LE(p + 10, h.fileEastLon);
  writeI32LE(p + 14, h.fileSouthLat);
  writeI16LE(p + 18, h.gridRows);
  writeI16LE(p + 20, h.gridCols);
  writeI16LE(p + 22, h.cellLonStep);
  writeI16LE(p + 24, h.cellLatStep);
  writeI16LE(p + 26, h.noDataValue);
}

Status parseRmdHead(std::span<const std::uint8_t> bytes, const std::string& name, RmdContents& contents) {
  const ByteView view(bytes);
  if (!view.has(0, kRmdHeaderSize)) return Status::failure(withPath(messages::kNotRmdFile, name));
  RmdHeader header = decodeHeader(view.at(0));
  if (header.frameCount <= 0 || header.gridRows <= 0 || header.gridCols <= 0) {
    return Status::failure(withPath(messages::kNotRmdFile, name));
  }
  const auto count = static_cast<std::size_t>(header.frameCount);
  if (!view.has(kRmdHeaderSize, count * kRmdIndexEntrySize)) {
    return Status::failure(withPath(messages::kNotRmdFile, name));
  }
  std::vector<FrameIndexEntry> index(count);
  for (std::size_t k = 0; k < count; ++k) index[k] = decodeEntry(view.at(kRmdHeaderSize + k * kRmdIndexEntrySize));
  contents.header = header;
  contents.index = std::move(index);
  return Status::success();
}

Status readRmdFile(const std::filesystem::path& path, RmdContents& contents) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return Status::failure(std::string(messages::kFileNotFound));
  Bytes head = readBlock(in, 0, kRmdHeaderSize);
  if (head.size() == kRmdHeaderSize) {
    const std::int16_t frames = readI16LE(head.data());
    if (frames > 0) {
      in.clear();
      Bytes index = readBlock(in, kRmdHeaderSize, static_cast<std::size_t>(frames) * kRmdIndexEntrySize);
      head.insert(head.end(), index.begin(), index.end());
    }
  }
  return parseRmdHead(head, path.string(), contents);
}

bool frameHasData(const RmdHeader& header, std::int32_t frameOffset) noexcept {
  return frameOffset >= kRmdHeaderSize + kRmdIndexEntrySize * std::max<std::int64_t>(header.frameCount, 0);
}

Status readRmdFrame(const std::filesystem::path& path, const RmdHeader& header, std::int32_t frameOffset,
                    std::vector<std::int16_t>& cells) {
  const std::size_t count = header.cellCount();
  std::ifstream in(path, std::ios::binary);
  if (!in) return Status::failure(withPath(messages::kRmdFileGone, path.string()));
  if (!frameHasData(header, frameOffset)) {
    cells.assign(count, header.noDataValue);
    return Status::success();
  }
  // The size is checked first, so a short file leaves cells unchanged; the block is then read
  // straight into cells (the viewer reads one frame per animation step).
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (!in || size - frameOffset < static_cast<std::streamoff>(count * 2)) {
    return Status::failure(withPath(messages::kRmdFileTruncated, path.string()));
  }
  cells.resize(count);
  in.seekg(frameOffset);
  in.read(reinterpret_cast<char*>(cells.data()), static_cast<std::streamsize>(count * 2));
  if (!in) return Status::failure(withPath(messages::kRmdFileTruncated, path.string()));
  if constexpr (std::endian::native != std::endian::little) {
    for (std::int16_t& cell : cells) cell = readI16LE(reinterpret_cast<const std::uint8_t*>(&cell));
  }
  return Status::success();
}

Status readRmdCellSeries(const std::filesystem::path& path, const RmdContents& contents, std::size_t cell,
                         std::vector<std::int16_t>& values) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return Status::failure(withPath(messages::kRmdFileGone, path.string()));
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  std::vector<std::int16_t> read;
  read.reserve(contents.index.size());
  for (const FrameIndexEntry& entry : contents.index) {
    if (!frameHasData(contents.header, entry.frameOffset)) {
      read.push_back(contents.header.noDataValue);
      continue;
    }
    const std::streamoff at = entry.frameOffset + static_cast<std::streamoff>(cell) * 2;
    std::uint8_t bytes[2];
    if (size - at < 2 || !in.seekg(at) || !in.read(reinterpret_cast<char*>(bytes), 2)) {
      return Status::failure(withPath(messages::kRmdFileTruncated, path.string()));
    }
    read.push_back(readI16LE(bytes));
  }
  values = std::move(read);
  return Status::success();
}

Status RmdWriter::create(const std::filesystem::path& target, const RmdHeader& header, int perDay) {
  header_ = header;
  framesPerDay_ = perDay;
  head_.assign(static_cast<std::size_t>(kRmdHeaderSize + kRmdIndexEntrySize * header.frameCount), 0);
  encodeRmdHeader(header, head_.data());
  frameBytes_.resize(header.cellCount() * 2);
  return file_.open(target);
}

std::int64_t RmdWriter::frameOffset(int k) const noexcept {
  return rmdFrameOffset(framesPerDay_, header_.frameCount, header_.gridRows, header_.gridCols, k);
}

void RmdWriter::setEntry(int k, const TimeStamp& stamp) {
  encodeEntry(stamp, 0, head_.data() + kRmdHeaderSize + kRmdIndexEntrySize * k);
}

Status RmdWriter::writeFrame(int k, std::span<const std::int16_t> cells) {
  const std::int64_t offset = frameOffset(k);
  writeI32LE(head_.data() + kRmdHeaderSize + kRmdIndexEntrySize * k + 6, static_cast<std::int32_t>(offset));
  for (std::size_t i = 0; i < cells.size(); ++i) writeI16LE(frameBytes_.data() + 2 * i, cells[i]);
  return file_.writeAt(static_cast<std::uint64_t>(offset), std::span(frameBytes_.data(), cells.size() * 2));
}

Status RmdWriter::commit() {
  if (Status s = file_.writeAt(0, head_); !s) return s;
  return file_.commit();
}

}  // namespace ombrix::core
