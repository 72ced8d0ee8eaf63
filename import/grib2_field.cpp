#include "import/grib2_field.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>

#include "core/input_file.h"


namespace ombrix::import {

namespace {

// Largest grid the reader allocates for (well above the 1 km national grid of 8.6 M points).
constexpr std::size_t kMaxPoints = 64u * 1024u * 1024u;
// Largest file read into memory.
constexpr std::uint64_t kMaxFileBytes = 512u * 1024u * 1024u;
// The first read of a header-only read: the agency's sections before the data section take a
// few hundred bytes.
constexpr std::uint64_t kHeaderRead = 4096;

constexpr std::size_t kIndicatorSize = 16;
constexpr std::size_t kEndMarkerSize = 4;

std::uint32_t u16BE(const std::uint8_t* p) noexcept { return (std::uint32_t{p[0]} << 8) | p[1]; }
std::uint32_t u32BE(const std::uint8_t* p) noexcept {
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}
std::uint64_t u64BE(const std::uint8_t* p) noexcept {
  return (std::uint64_t{u32BE(p)} << 32) | u32BE(p + 4);
}
void putBE(std::uint8_t* p, std::uint64_t value, int octets) noexcept {
  for (int i = octets - 1; i >= 0; --i, value >>= 8) p[i] = static_cast<std::uint8_t>(value);
}
// GRIB stores signed numbers as sign and magnitude.
std::int32_t i32SignMagnitude(const std::uint8_t* p) noexcept {
  const std::uint32_t raw = u32BE(p);
  const auto magnitude = static_cast<std::int32_t>(raw & 0x7fffffffu);
  return (raw & 0x80000000u) != 0 ? -magnitude : magnitude;
}
int i8SignMagnitude(std::uint8_t raw) noexcept { return (raw & 0x80u) != 0 ? -(raw & 0x7f) : raw; }

// Octet n (1-based, as numbered in the GRIB tables) of a section.
struct Section {
  std::span<const std::uint8_t> bytes;
  const std::uint8_t* octet(std::size_t n) const noexcept { return bytes.data() + (n - 1); }
  std::uint32_t u8(std::size_t n) const noexcept { return *octet(n); }
  std::uint32_t u16(std::size_t n) const noexcept { return u16BE(octet(n)); }
  std::uint32_t u32(std::size_t n) const noexcept { return u32BE(octet(n)); }
  std::size_t size() const noexcept { return bytes.size(); }
};

// Year u16, month, day, hour, minute, second from octet n on.
Grib2Time timeAt(const Section& s, std::size_t n) noexcept {
  return {static_cast<int>(s.u16(n)),     static_cast<int>(s.u8(n + 2)), static_cast<int>(s.u8(n + 3)),
          static_cast<int>(s.u8(n + 4)), static_cast<int>(s.u8(n + 5)), static_cast<int>(s.u8(n + 6))};
}

bool plausibleTime(const Grib2Time& t) noexcept {
  return t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= 31 && t.hour <= 23 && t.minute <= 59 &&
         t.second <= 60;
}

// The sections of one message between the indicator and "7777", by number.
struct MessageSections {
  Section identification;  // 1
  Section grid;            // 3
  Section product;         // 4
  Section representation;  // 5
  Section bitmap;          // 6
  Section data;            // 7
};

core::Problem splitSections(std::span<const std::uint8_t> message, MessageSections& out) {
  // Sections 1, 3..7 must each appear once, in order; section 2 (local use) may precede 3.
  Section* slots[8] = {nullptr, &out.identification, nullptr, &out.grid, &out.product, &out.representation,
                       &out.bitmap, &out.data};
  const std::size_t end = message.size() - kEndMarkerSize;
  std::size_t offset = kIndicatorSize;
  int last = 0;
  while (offset < end) {
    if (end - offset < 5) return core::Problem::Grib2BadStructure;
    const std::uint32_t length = u32BE(message.data() + offset);
    const int number = message[offset + 4];
    if (length < 5 || length > end - offset) return core::Problem::Grib2BadStructure;
    if (number <= last || number > 7) {
      // A second field in the same message starts again at section 2, 3 or 4.
      return number >= 2 && number <= 7 ? core::Problem::Grib2UnsupportedProduct : core::Problem::Grib2BadStructure;
    }
    if (slots[number] != nullptr) slots[number]->bytes = message.subspan(offset, length);
    last = number;
    offset += length;
  }
  if (last != 7 || std::memcmp(message.data() + end, "7777", kEndMarkerSize) != 0) {
    return core::Problem::Grib2BadStructure;
  }
  for (const Section* s : slots) {
    if (s != nullptr && s->size() == 0) return core::Problem::Grib2BadStructure;
  }
  return core::Problem::None;
}

core::Problem readIdentification(const Section& s, Grib2Field& field) {
  if (s.size() < 21) return core::Problem::Grib2BadStructure;
  field.referenceTime = timeAt(s, 13);
  return plausibleTime(field.referenceTime) ? core::Problem::None : core::Problem::Grib2BadStructure;
}

core::Problem readGrid(const Section& s, Grib2Field& field) {
  if (s.size() < 72) return core::Problem::Grib2BadStructure;
  if (s.u8(6) != 0 || s.u16(13) != 0) return core::Problem::Grib2UnsupportedGrid;
  // Basic angle 0 (or missing) and missing subdivisions: coordinates in microdegrees.
  const std::uint32_t basicAngle = s.u32(39);
  const std::uint32_t subdivisions = s.u32(43);
  const bool microdegrees = (basicAngle == 0 || basicAngle == 0xffffffffu) &&
                            (subdivisions == 0 || subdivisions == 0xffffffffu);
  if (!microdegrees || s.u8(72) != 0) return core::Problem::Grib2UnsupportedGrid;
  Grib2LatLonGrid& g = field.grid;
  const std::uint32_t ni = s.u32(31);
  const std::uint32_t nj = s.u32(35);
  if (ni == 0 || nj == 0 || ni > kMaxPoints || nj > kMaxPoints || std::uint64_t{ni} * nj > kMaxPoints) {
    return core::Problem::Grib2UnsupportedGrid;
  }
  if (s.u32(7) != ni * nj) return core::Problem::Grib2BadStructure;
  field.earthShape = static_cast<int>(s.u8(15));
  g.ni = static_cast<std::int32_t>(ni);
  g.nj = static_cast<std::int32_t>(nj);
  g.firstLat = i32SignMagnitude(s.octet(47));
  g.firstLon = i32SignMagnitude(s.octet(51));
  g.lastLat = i32SignMagnitude(s.octet(56));
  g.lastLon = i32SignMagnitude(s.octet(60));
  g.iIncrement = i32SignMagnitude(s.octet(64));
  g.jIncrement = i32SignMagnitude(s.octet(68));
  // Scanning mode 0 runs east along a row and south from row to row.
  const bool ordered = (g.ni == 1 || g.lastLon > g.firstLon) && (g.nj == 1 || g.lastLat < g.firstLat);
  // Latitudes within the poles; longitudes east or west of Greenwich, or 0-360 east.
  const auto within = [](std::int32_t value, std::int32_t low, std::int32_t high) {
    return value >= low && value <= high;
  };
  const bool onEarth = within(g.firstLat, -90'000'000, 90'000'000) && within(g.lastLat, -90'000'000, 90'000'000) &&
                       within(g.firstLon, -180'000'000, 360'000'000) && within(g.lastLon, -180'000'000, 360'000'000);
  return ordered && onEarth ? core::Problem::None : core::Problem::Grib2UnsupportedGrid;
}

core::Problem readProduct(const Section& s, Grib2Field& field) {
  if (s.size() < 9) return core::Problem::Grib2BadStructure;
  const std::uint32_t templateNumber = s.u16(8);
  if (templateNumber != 50008 && templateNumber != 8) return core::Problem::Grib2UnsupportedProduct;
  if (s.size() < 41) return core::Problem::Grib2BadStructure;
  field.accumulationEnd = timeAt(s, 35);
  return plausibleTime(field.accumulationEnd) ? core::Problem::None : core::Problem::Grib2BadStructure;
}

// Representative value R stored times 10^E, as 0.1 mm rounded half to even; false when it does
// not fit a stored value.
bool tenthsOfMillimetre(std::uint32_t representative, int decimalScale, std::int16_t& out) {
  const double tenths = std::nearbyint(static_cast<double>(representative) * std::pow(10.0, 1 - decimalScale));
  if (!(tenths >= 0.0 && tenths <= std::numeric_limits<std::int16_t>::max())) return false;
  out = static_cast<std::int16_t>(tenths);
  return true;
}

core::Problem readRepresentation(const Section& s, Grib2Field& field) {
  if (s.size() < 11) return core::Problem::Grib2BadStructure;
  if (s.u16(10) != 200) return core::Problem::Grib2UnsupportedPacking;
  if (s.size() < 17) return core::Problem::Grib2BadStructure;
  if (s.u32(6) != field.grid.pointCount()) return core::Problem::Grib2BadStructure;
  const int bits = static_cast<int>(s.u8(12));
  const int maxLevelUsed = static_cast<int>(s.u16(13));
  const auto levelCount = static_cast<std::size_t>(s.u16(15));
  // At least one level and a run-length base of 2 or more.
  if (bits < 2 || bits > 8 || maxLevelUsed < 1 || maxLevelUsed > (1 << bits) - 3 ||
      static_cast<std::size_t>(maxLevelUsed) > levelCount) {
    return core::Problem::Grib2UnsupportedPacking;
  }
  if (s.size() < 17 + 2 * levelCount) return core::Problem::Grib2BadStructure;
  field.bitsPerValue = bits;
  field.maxLevelUsed = maxLevelUsed;
  field.decimalScale = i8SignMagnitude(static_cast<std::uint8_t>(s.u8(17)));
  field.representative.resize(levelCount);
  field.levelValues.assign(levelCount + 1, -1);
  for (std::size_t m = 1; m <= levelCount; ++m) {
    field.representative[m - 1] = static_cast<std::uint16_t>(s.u16(18 + 2 * (m - 1)));
    if (!tenthsOfMillimetre(field.representative[m - 1], field.decimalScale, field.levelValues[m])) {
      return core::Problem::Grib2UnsupportedPacking;
    }
  }
  return core::Problem::None;
}

// Values of one width read from a byte stream; the eight-bit source is the common case and
// costs one load per value.
class ByteValues {
 public:
  explicit ByteValues(std::span<const std::uint8_t> stream) noexcept : stream_(stream) {}
  bool next(unsigned& value) noexcept {
    if (position_ == stream_.size()) return false;
    value = stream_[position_++];
    return true;
  }
  bool lastWasPadding() const noexcept { return false; }

 private:
  std::span<const std::uint8_t> stream_;
  std::size_t position_ = 0;
};

class BitValues {
 public:
  BitValues(std::span<const std::uint8_t> stream, int bits) noexcept
      : stream_(stream), bits_(static_cast<std::size_t>(bits)), totalBits_(stream.size() * 8) {}
  bool next(unsigned& value) noexcept {
    if (totalBits_ - position_ < bits_) return false;
    start_ = position_;
    value = 0;
    for (unsigned b = 0; b < bits_; ++b, ++position_) {
      const unsigned bit = (stream_[position_ / 8] >> (7 - position_ % 8)) & 1u;
      value = (value << 1) | bit;
    }
    return true;
  }
  // The last value lies in the bits that only complete the final byte.
  bool lastWasPadding() const noexcept { return totalBits_ - start_ < 8; }

 private:
  std::span<const std::uint8_t> stream_;
  std::size_t bits_;
  std::size_t totalBits_;
  std::size_t position_ = 0;
  std::size_t start_ = 0;
};

// Writes runs into the whole grid.
struct GridWriter {
  std::uint8_t* levels;
  void fill(std::uint64_t start, std::uint64_t length, std::uint8_t level) const noexcept {
    std::memset(levels + start, level, length);
  }
};

// Writes the value of each run's level over the part of the run that lies in the window. Runs
// come in order, so the row of a run's start is followed rather than divided out; most runs end
// in the row they start in.
class WindowWriter {
 public:
  WindowWriter(const Grib2WindowTarget& target, const std::int16_t* levelValues, std::uint64_t columns) noexcept
      : values_(target.values.data()),
        levelValues_(levelValues),
        columns_(columns),
        firstCol_(static_cast<std::uint64_t>(target.window.firstCol)),
        width_(static_cast<std::uint64_t>(target.window.lastCol) - firstCol_ + 1),
        firstRow_(static_cast<std::uint64_t>(target.window.firstRow)),
        lastRow_(static_cast<std::uint64_t>(target.window.lastRow)) {}

  void fill(std::uint64_t start, std::uint64_t length, std::uint8_t level) noexcept {
    const std::uint64_t end = start + length;
    while (rowStart_ + columns_ <= start) {
      ++row_;
      rowStart_ += columns_;
    }
    const std::int16_t value = levelValues_[level];
    if (end <= rowStart_ + columns_) {
      if (row_ >= firstRow_ && row_ <= lastRow_) writeRow(row_, rowStart_, start, end, value);
      return;
    }
    std::uint64_t r = std::max(row_, firstRow_);
    for (std::uint64_t at = rowStart_ + (r - row_) * columns_; r <= lastRow_ && at < end; ++r, at += columns_) {
      writeRow(r, at, start, end, value);
    }
  }

 private:
  // The part of cells start .. end - 1 in window row r, which starts at grid cell rowStart.
  void writeRow(std::uint64_t r, std::uint64_t rowStart, std::uint64_t start, std::uint64_t end,
                std::int16_t value) const noexcept {
    const std::uint64_t from = std::max(start, rowStart + firstCol_);
    const std::uint64_t to = std::min(end, rowStart + firstCol_ + width_);
    if (from < to) std::fill_n(values_ + (r - firstRow_) * width_ + (from - rowStart - firstCol_), to - from, value);
  }

  std::int16_t* values_;
  const std::int16_t* levelValues_;
  std::uint64_t columns_;
  std::uint64_t firstCol_;
  std::uint64_t width_;
  std::uint64_t firstRow_;
  std::uint64_t lastRow_;
  std::uint64_t row_ = 0;
  std::uint64_t rowStart_ = 0;  // row_ x columns_
};

// Writes the value of each run's level for the listed cells it covers, one after the other. The
// list is walked with the runs: a run costs one comparison, a listed cell one store. The grid
// index of the next listed cell is followed row by row rather than divided out; a list out of
// order or past the window ends the writing rather than read or write out of bounds.
class CellsWriter {
 public:
  CellsWriter(const Grib2WindowTarget& target, const std::int16_t* levelValues, std::uint64_t columns) noexcept
      : values_(target.values.data()),
        levelValues_(levelValues),
        begin_(target.cells.data()),
        cell_(begin_),
        end_(begin_ + target.cells.size()),
        columns_(columns),
        width_(static_cast<std::uint64_t>(target.window.lastCol - target.window.firstCol) + 1),
        windowCells_(target.window.cellCount()),
        gridRowStart_(static_cast<std::uint64_t>(target.window.firstRow) * columns +
                      static_cast<std::uint64_t>(target.window.firstCol)) {
    locateNext();
  }

  // Every listed cell was written: false only for a list out of order or past the window.
  bool wroteAll() const noexcept { return cell_ == end_; }

  void fill(std::uint64_t start, std::uint64_t length, std::uint8_t level) noexcept {
    const std::uint64_t end = start + length;
    if (nextGridCell_ >= end) return;
    const std::int16_t value = levelValues_[level];
    do {
      *values_++ = value;
      ++cell_;
      locateNext();
    } while (nextGridCell_ < end);
  }

 private:
  void locateNext() noexcept {
    if (cell_ == end_ || (cell_ != begin_ && *cell_ <= cell_[-1]) || *cell_ >= windowCells_) {
      nextGridCell_ = ~std::uint64_t{0};
      return;
    }
    const std::uint64_t intoRow = *cell_ - windowRowStart_;
    if (intoRow >= width_) {
      const std::uint64_t rowsOn = intoRow / width_;
      windowRowStart_ += rowsOn * width_;
      gridRowStart_ += rowsOn * columns_;
    }
    nextGridCell_ = gridRowStart_ + (*cell_ - windowRowStart_);
  }

  std::int16_t* values_;
  const std::int16_t* levelValues_;
  const std::uint32_t* begin_;
  const std::uint32_t* cell_;
  const std::uint32_t* end_;
  std::uint64_t columns_;
  std::uint64_t width_;
  std::uint64_t windowCells_;
  std::uint64_t gridRowStart_;        // grid index of the first cell of the window row reached
  std::uint64_t windowRowStart_ = 0;  // window index of the same cell
  std::uint64_t nextGridCell_ = 0;    // grid index of *cell_
};

template <typename Values, typename Writer>
core::Problem expandRuns(Values values, unsigned maxLevel, std::uint64_t base, std::uint64_t total,
                         Writer& writer) noexcept {
  std::uint64_t filled = 0;
  bool pending = false;
  std::uint8_t level = 0;
  std::uint64_t length = 0;
  std::uint64_t weight = 1;
  unsigned value = 0;
  while (values.next(value)) {
    if (value <= maxLevel) {
      if (pending) {
        writer.fill(filled, length, level);
        filled += length;
        if (filled == total) return values.lastWasPadding() ? core::Problem::None : core::Problem::Grib2RunPastGrid;
      }
      pending = true;
      level = static_cast<std::uint8_t>(value);
      length = 1;
      weight = 1;
      continue;
    }
    if (!pending) return core::Problem::Grib2RunDigitBeforeLevel;
    const std::uint64_t digit = value - maxLevel - 1;
    if (digit != 0) {
      // weight <= total * base and digit < base, so nothing here overflows 64 bits.
      if (weight > total) return core::Problem::Grib2RunPastGrid;
      length += digit * weight;
      if (length > total - filled) return core::Problem::Grib2RunPastGrid;
    }
    if (weight <= total) weight *= base;
  }
  if (pending) {
    writer.fill(filled, length, level);
    filled += length;
  }
  return filled == total ? core::Problem::None : core::Problem::Grib2RunsTooFewCells;
}

template <typename Writer>
core::Problem expandWith(std::span<const std::uint8_t> stream, int bitsPerValue, int maxLevel, std::uint64_t total,
                         Writer&& writer) noexcept {
  const std::uint64_t base = (std::uint64_t{1} << bitsPerValue) - 1 - static_cast<std::uint64_t>(maxLevel);
  const auto top = static_cast<unsigned>(maxLevel);
  if (bitsPerValue == 8) return expandRuns(ByteValues(stream), top, base, total, writer);
  return expandRuns(BitValues(stream, bitsPerValue), top, base, total, writer);
}

bool windowInGrid(const Grib2Window& w, std::int32_t columns, std::int32_t rows) noexcept {
  return w.firstRow >= 0 && w.firstRow <= w.lastRow && w.lastRow < rows && w.firstCol >= 0 &&
         w.firstCol <= w.lastCol && w.lastCol < columns;
}

core::Problem readData(const Section& s, Grib2Field& field, const Grib2WindowTarget* target) {
  const std::span<const std::uint8_t> stream = s.bytes.subspan(5);
  if (target == nullptr) {
    field.levels.resize(field.grid.pointCount());
    return expandLevelRuns(stream, field.bitsPerValue, field.maxLevelUsed, field.levels);
  }
  field.levels.clear();
  if (!windowInGrid(target->window, field.grid.ni, field.grid.nj) ||
      target->values.size() != target->valueCount()) {
    return core::Problem::Grib2UnsupportedGrid;
  }
  return expandLevelValuesInWindow(stream, field.bitsPerValue, field.maxLevelUsed, field.levelValues, field.grid.ni,
                                   field.grid.nj, *target);
}

core::Problem decodeSections(const MessageSections& sections, Grib2Field& field, Grib2Content content,
                             const Grib2WindowTarget* target) {
  core::Problem problem = readIdentification(sections.identification, field);
  if (problem == core::Problem::None) problem = readGrid(sections.grid, field);
  if (problem == core::Problem::None) problem = readProduct(sections.product, field);
  if (problem == core::Problem::None) problem = readRepresentation(sections.representation, field);
  if (problem != core::Problem::None) return problem;
  if (sections.bitmap.size() < 6) return core::Problem::Grib2BadStructure;
  if (sections.bitmap.u8(6) != 255) return core::Problem::Grib2UnsupportedPacking;
  if (content == Grib2Content::HeaderOnly) {
    field.levels.clear();
    return core::Problem::None;
  }
  return readData(sections.data, field, target);
}

// The first count bytes of the file into bytes; false when they cannot all be read.
bool readFirstBytes(const core::InputFile& file, std::uint64_t count, std::vector<std::uint8_t>& bytes) {
  bytes.resize(static_cast<std::size_t>(count));
  return file.readAt(0, bytes) == bytes.size();
}

// Appends the file's bytes from .. to - 1; false when they cannot all be read.
bool appendFileBytes(const core::InputFile& file, std::uint64_t from, std::uint64_t to,
                     std::vector<std::uint8_t>& bytes) {
  const std::size_t at = bytes.size();
  bytes.resize(at + static_cast<std::size_t>(to - from));
  return file.readAt(from, std::span(bytes).subspan(at)) == to - from;
}

struct DataSectionPlace {
  std::uint64_t offset = 0;
  std::uint64_t length = 0;
};

// Where the message's data section lies, found by following the section lengths from the
// indicator through bytes (the file's first bytes), reading on from the file while they run
// past them. Nothing when the walk meets what splitSections refuses, or a read fails.
std::optional<DataSectionPlace> findDataSection(const core::InputFile& file, std::uint64_t size,
                                                std::vector<std::uint8_t>& bytes) {
  if (bytes.size() < kIndicatorSize) return std::nullopt;
  const std::uint64_t total = u64BE(bytes.data() + 8);
  if (total < kIndicatorSize + kEndMarkerSize || total > size) return std::nullopt;
  const std::uint64_t end = total - kEndMarkerSize;
  std::uint64_t offset = kIndicatorSize;
  std::uint32_t last = 0;
  while (end - offset >= 5) {
    if (offset + 5 > bytes.size() &&
        !appendFileBytes(file, bytes.size(), std::min(size, offset + 5 + kHeaderRead), bytes)) {
      return std::nullopt;
    }
    const std::uint32_t length = u32BE(bytes.data() + offset);
    const std::uint32_t number = bytes[offset + 4];
    if (length < 5 || length > end - offset || number <= last || number > 7) return std::nullopt;
    if (number == 7) return DataSectionPlace{offset, length};
    last = number;
    offset += length;
  }
  return std::nullopt;
}

// What a header-only decode of the file looks at, into bytes: the message up to the data
// section's five-byte header, then the file from the data section's end to four bytes past the
// message (where a second message would begin), the data section's and the message's lengths
// shortened by the run-length stream left out. decodeGrib2Field answers these bytes as it
// answers the whole file: the indicator, the sections before the data section, the bytes after
// it and after the message are the same, every section still fits before the end marker, and a
// header-only decode never reads the stream. A file whose sections cannot be followed to the
// data section is read whole, for the decode to say why.
bool readHeaderBytes(const core::InputFile& file, std::uint64_t size, std::vector<std::uint8_t>& bytes) {
  if (!readFirstBytes(file, std::min(size, kHeaderRead), bytes)) return false;
  const std::optional<DataSectionPlace> data = findDataSection(file, size, bytes);
  if (!data) return readFirstBytes(file, size, bytes);
  const std::uint64_t total = u64BE(bytes.data() + 8);
  bytes.resize(static_cast<std::size_t>(data->offset + 5));
  if (!appendFileBytes(file, data->offset + data->length, std::min(size, total + 4), bytes)) return false;
  putBE(bytes.data() + data->offset, 5, 4);
  putBE(bytes.data() + 8, total - (data->length - 5), 8);
  return true;
}

}  // namespace

double Grib2LatLonGrid::columnSpacing() const noexcept {
  return ni > 1 ? (static_cast<double>(lastLon) - firstLon) / (ni - 1) : iIncrement;
}

double Grib2LatLonGrid::rowSpacing() const noexcept {
  return nj > 1 ? (static_cast<double>(firstLat) - lastLat) / (nj - 1) : jIncrement;
}

core::Problem expandLevelRuns(std::span<const std::uint8_t> stream, int bitsPerValue, int maxLevel,
                                std::span<std::uint8_t> levels) noexcept {
  return expandWith(stream, bitsPerValue, maxLevel, levels.size(), GridWriter{levels.data()});
}

core::Problem expandLevelValuesInWindow(std::span<const std::uint8_t> stream, int bitsPerValue, int maxLevel,
                                        std::span<const std::int16_t> levelValues, std::int32_t columns,
                                        std::int32_t rows, const Grib2WindowTarget& target) noexcept {
  const auto width = static_cast<std::uint64_t>(columns);
  const std::uint64_t total = width * static_cast<std::uint64_t>(rows);
  if (!target.cells.empty()) {
    CellsWriter writer(target, levelValues.data(), width);
    const core::Problem problem = expandWith(stream, bitsPerValue, maxLevel, total, writer);
    return problem == core::Problem::None && !writer.wroteAll() ? core::Problem::Grib2UnsupportedGrid : problem;
  }
  return expandWith(stream, bitsPerValue, maxLevel, total, WindowWriter(target, levelValues.data(), width));
}

core::Problem decodeGrib2Field(std::span<const std::uint8_t> bytes, Grib2Field& field, Grib2Content content,
                               const Grib2WindowTarget* target) {
  if (bytes.size() < kIndicatorSize || std::memcmp(bytes.data(), "GRIB", 4) != 0 || bytes[7] != 2) {
    return core::Problem::Grib2NotRainfall;
  }
  const std::uint64_t total = u64BE(bytes.data() + 8);
  if (total < kIndicatorSize + kEndMarkerSize) return core::Problem::Grib2BadStructure;
  if (total > bytes.size()) return core::Problem::Grib2Truncated;
  // One message per file: a second one would be silently lost.
  const auto rest = bytes.subspan(static_cast<std::size_t>(total));
  if (rest.size() >= 4 && std::memcmp(rest.data(), "GRIB", 4) == 0) return core::Problem::Grib2UnsupportedProduct;
  MessageSections sections;
  const core::Problem problem = splitSections(bytes.first(static_cast<std::size_t>(total)), sections);
  return problem == core::Problem::None ? decodeSections(sections, field, content, target) : problem;
}

core::Status readGrib2File(const std::filesystem::path& path, Grib2Field& field, Grib2Content content,
                           const Grib2WindowTarget* target) {
  core::InputFile file;
  if (!file.open(path)) return {core::Problem::Grib2Unreadable, path};
  const std::optional<std::uint64_t> size = file.size();
  if (!size) return {core::Problem::Grib2Unreadable, path};
  if (*size > kMaxFileBytes) return {core::Problem::Grib2UnsupportedProduct, path};
  std::vector<std::uint8_t>& bytes = field.fileBytes;
  const bool read = content == Grib2Content::HeaderOnly ? readHeaderBytes(file, *size, bytes)
                                                        : readFirstBytes(file, *size, bytes);
  if (!read) return {core::Problem::Grib2Unreadable, path};
  if (const core::Problem problem = decodeGrib2Field(bytes, field, content, target); problem != core::Problem::None) {
    return {problem, path};
  }
  return {};
}

}  // namespace ombrix::import
