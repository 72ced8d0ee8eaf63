#include "core/rmd_file.h"

#include <algorithm>

#include "core/archive_calendar.h"
#include "core/number_text.h"

namespace ombrix::core {

namespace {

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
  e.stamp = readTimeStamp(p);
  e.frameOffset = readI32LE(p + 6);
  return e;
}

void encodeEntry(const TimeStamp& stamp, std::int32_t offset, std::uint8_t* p) noexcept {
  writeTimeStamp(p, stamp);
  writeI32LE(p + 6, offset);
}

}  // namespace

int framesPerDay(int startYear, int startMonth) noexcept { return halfHourlyEra(startYear, startMonth) ? 48 : 24; }

int eraDivisor(int startYear, int startMonth) noexcept { return halfHourlyEra(startYear, startMonth) ? 1 : 2; }

std::int64_t rmdDataStart(int perDay, int frameCount) noexcept {
  return kRmdHeaderSize + kRmdIndexEntrySize * perDay * static_cast<std::int64_t>(frameCount);
}

std::int64_t rmdFrameOffset(int perDay, const RmdHeader& header, int k) noexcept {
  const auto cells = static_cast<std::int64_t>(header.cellCount());
  return rmdDataStart(perDay, header.frameCount) + static_cast<std::int64_t>(k) * 4 * cells;
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
  if (!view.has(0, kRmdHeaderSize)) return {Problem::NotRmdFile, name};
  RmdHeader header = decodeHeader(view.at(0));
  if (header.frameCount <= 0 || header.gridRows <= 0 || header.gridCols <= 0) {
    return {Problem::NotRmdFile, name};
  }
  const auto count = static_cast<std::size_t>(header.frameCount);
  if (!view.has(kRmdHeaderSize, count * kRmdIndexEntrySize)) {
    return {Problem::NotRmdFile, name};
  }
  std::vector<FrameIndexEntry> index(count);
  for (std::size_t k = 0; k < count; ++k) index[k] = decodeEntry(view.at(kRmdHeaderSize + k * kRmdIndexEntrySize));
  contents.header = header;
  contents.index = std::move(index);
  return {};
}

Status readRmdHead(const std::filesystem::path& path, Bytes& head, std::uint64_t& fileSize) {
  InputFile file;
  if (!file.open(path)) return {Problem::RmdFileUnopenable};
  const std::optional<std::uint64_t> size = file.size();
  std::optional<Bytes> header = file.readBlock(0, kRmdHeaderSize);
  if (!size || !header) return {Problem::NotRmdFile, path};
  const std::int16_t frames = header->size() == kRmdHeaderSize ? readI16LE(header->data()) : 0;
  if (frames > 0) {
    const std::optional<Bytes> index =
        file.readBlock(kRmdHeaderSize, static_cast<std::size_t>(frames) * kRmdIndexEntrySize);
    if (!index) return {Problem::NotRmdFile, path};
    header->insert(header->end(), index->begin(), index->end());
  }
  head = std::move(*header);
  fileSize = *size;
  return {};
}

Status readRmdFile(const std::filesystem::path& path, RmdContents& contents) {
  Bytes head;
  std::uint64_t size = 0;
  if (Status s = readRmdHead(path, head, size); !s) return s;
  return parseRmdHead(head, path.string(), contents);
}

bool frameHasData(const RmdHeader& header, std::int32_t frameOffset) noexcept {
  return frameOffset >= kRmdHeaderSize + kRmdIndexEntrySize * std::max<std::int64_t>(header.frameCount, 0);
}

namespace {

// Where the cells of range start in the file.
std::uint64_t cellsStart(std::int32_t frameOffset, CellRange range) noexcept {
  return static_cast<std::uint64_t>(frameOffset) + 2 * static_cast<std::uint64_t>(range.first);
}

// count little-endian cells.
void decodeCells(const std::uint8_t* bytes, std::size_t count, std::int16_t* cells) noexcept {
  for (std::size_t i = 0; i < count; ++i) cells[i] = readI16LE(bytes + 2 * i);
}

}  // namespace

Status decodeRmdFrame(std::span<const std::uint8_t> bytes, std::uint64_t bytesStart, const RmdHeader& header,
                      std::int32_t frameOffset, CellRange range, std::vector<std::int16_t>& cells,
                      const std::string& name) {
  if (!frameHasData(header, frameOffset)) {
    cells.assign(range.count, header.noDataValue);
    return {};
  }
  const std::uint64_t start = cellsStart(frameOffset, range);
  if (start < bytesStart || !ByteView(bytes).has(start - bytesStart, 2 * range.count)) {
    return {Problem::RmdFileTruncated, name};
  }
  cells.resize(range.count);
  decodeCells(bytes.data() + (start - bytesStart), range.count, cells.data());
  return {};
}

namespace {

// Cells read in one positioned read: a whole frame is read in blocks of this many cells.
constexpr std::size_t kBlockCells = std::size_t{1} << 19;

}  // namespace

Status RmdFrameReader::open(const std::filesystem::path& path) {
  name_ = path.string();
  bytes_.reset();
  if (!file_.open(path)) return {Problem::RmdFileGone, name_};
  return {};
}

void RmdFrameReader::openBytes(std::span<const std::uint8_t> bytes, std::string name) {
  bytes_ = bytes;
  name_ = std::move(name);
}

std::optional<std::uint64_t> RmdFrameReader::size() const {
  if (bytes_) return bytes_->size();
  return file_.size();
}

std::optional<std::size_t> RmdFrameReader::readAt(std::uint64_t offset, std::span<std::uint8_t> out) const {
  if (!bytes_) return file_.readAt(offset, out);
  const std::size_t count = offset < bytes_->size() ? std::min(out.size(), bytes_->size() - offset) : 0;
  std::copy_n(bytes_->begin() + static_cast<std::ptrdiff_t>(offset), count, out.begin());
  return count;
}

Status RmdFrameReader::read(const RmdHeader& header, std::int32_t frameOffset, CellRange range,
                            std::vector<std::int16_t>& cells) {
  if (!frameHasData(header, frameOffset)) return decodeRmdFrame({}, 0, header, frameOffset, range, cells, name_);
  // The size is checked before anything is sized, so a header claiming more cells than the
  // file holds costs no memory.
  const std::uint64_t start = cellsStart(frameOffset, range);
  const std::optional<std::uint64_t> fileSize = size();
  if (!fileSize) return {Problem::RmdFileGone, name_};
  if (*fileSize < start || *fileSize - start < 2 * static_cast<std::uint64_t>(range.count)) {
    return {Problem::RmdFileTruncated, name_};
  }
  cells.resize(range.count);
  for (std::size_t done = 0; done < range.count; done += kBlockCells) {
    const std::size_t count = std::min(kBlockCells, range.count - done);
    block_.resize(2 * count);
    const std::optional<std::size_t> got = readAt(start + 2 * done, block_);
    if (!got) return {Problem::RmdFileGone, name_};
    if (*got < block_.size()) return {Problem::RmdFileTruncated, name_};
    decodeCells(block_.data(), count, cells.data() + done);
  }
  return {};
}

Status RmdFrameReader::readCell(const RmdHeader& header, std::int32_t frameOffset, std::size_t cell,
                                std::int16_t& value) {
  std::vector<std::int16_t> one(1);
  if (Status s = read(header, frameOffset, {cell, 1}, one); !s) return s;
  value = one.front();
  return {};
}

Status readRmdFrame(const std::filesystem::path& path, const RmdHeader& header, std::int32_t frameOffset,
                    std::vector<std::int16_t>& cells) {
  RmdFrameReader reader;
  if (Status s = reader.open(path); !s) return s;
  return reader.read(header, frameOffset, {0, header.cellCount()}, cells);
}

Status readRmdCellSeries(RmdFrameReader& reader, const RmdContents& contents, std::size_t cell,
                         std::vector<std::int16_t>& values) {
  std::vector<std::int16_t> read(contents.index.size());
  for (std::size_t k = 0; k < read.size(); ++k) {
    if (Status s = reader.readCell(contents.header, contents.index[k].frameOffset, cell, read[k]); !s) return s;
  }
  values = std::move(read);
  return {};
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
  return rmdFrameOffset(framesPerDay_, header_, k);
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
