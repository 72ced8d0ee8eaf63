#include "core/rap_encoder.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <limits>

#include "core/output_file.h"

namespace ombrix::core {

namespace {

constexpr std::size_t kGapAfterTables = 3;
constexpr std::size_t kTrailingBytes = 5;
constexpr std::size_t kLengths = kMaxRunLength - kMinRunLength + 1;  // lengths 2..257
constexpr std::size_t kValueCount = 65536;

// The filler of skipped bytes: never zero, repeating every 16 bytes.
std::uint8_t filler(std::size_t offset) noexcept { return static_cast<std::uint8_t>(0xA0 | (offset & 0x0F)); }

void writeGrid(std::uint8_t* p, const GridDescription& g) noexcept {
  writeI32LE(p + 0, g.lat0);
  writeI32LE(p + 4, g.lon0);
  writeI32LE(p + 8, g.dlon);
  writeI32LE(p + 12, g.dlat);
  writeI16LE(p + 16, g.nx);
  writeI16LE(p + 18, g.ny);
}

// Whether a 0xC0+ run code can name the level code (0xFE is the escape, so 62 can't).
bool hasRunCode(unsigned code) noexcept { return code < kDirectLevels && code != kEscapeCode - kFirstRunCode; }

// The end of the run of equal codes that starts at begin, compared eight bytes at a time.
std::size_t runEnd(std::span<const std::uint8_t> codes, std::size_t begin) noexcept {
  const std::uint8_t code = codes[begin];
  const std::uint64_t pattern = code * 0x0101010101010101ull;
  std::size_t i = begin + 1;
  for (; i + 8 <= codes.size(); i += 8) {
    std::uint64_t word;
    std::memcpy(&word, codes.data() + i, 8);
    if (const std::uint64_t differ = word ^ pattern; differ != 0) {
      return i + static_cast<std::size_t>(std::countr_zero(differ) / 8);  // little-endian byte order
    }
  }
  while (i < codes.size() && codes[i] == code) ++i;
  return i;
}

// Calls chunk(code, length) for every piece of at most 257 cells of every run of the record.
template <typename Chunk>
void forEachRunChunk(std::span<const std::uint8_t> codes, Chunk chunk) {
  for (std::size_t i = 0; i < codes.size();) {
    const std::size_t end = runEnd(codes, i);
    for (std::size_t left = end - i; left > 0;) {
      const std::size_t length = std::min<std::size_t>(left, kMaxRunLength);
      chunk(codes[i], length);
      left -= length;
    }
    i = end;
  }
}

// Bytes a chunk takes without a run-table entry.
std::size_t bytesWithoutTable(unsigned code, std::size_t length) noexcept {
  if (hasRunCode(code)) return 2;
  return code < kDirectLevels ? length : 2 * length;
}

// The run table organised for the encoder: exact (level, length) matches and, for the levels
// without a 0xC0+ run code, every entry of that level longest first.
class RunCoder {
 public:
  explicit RunCoder(std::span<const RunEntry> runs) : exact_(256 * kLengths, -1), byLevel_(256) {
    const std::size_t count = std::min<std::size_t>(runs.size(), kAddressableRuns);
    for (std::size_t k = 0; k < count; ++k) {
      const RunEntry e = runs[k];
      std::int16_t& slot = exact_[e.level * kLengths + e.extra];
      if (slot < 0) slot = static_cast<std::int16_t>(k);
      byLevel_[e.level].push_back({e.extra + std::size_t{kMinRunLength}, static_cast<std::uint8_t>(k)});
    }
    for (auto& entries : byLevel_) {
      std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.length > b.length; });
    }
  }

  void encode(std::span<const std::uint8_t> codes, Bytes& out) const {
    out.reserve(out.size() + codes.size() / 8);
    forEachRunChunk(codes, [&](std::uint8_t code, std::size_t length) { encodeChunk(code, length, out); });
  }

 private:
  struct Entry {
    std::size_t length;
    std::uint8_t index;
  };

  static void single(unsigned code, Bytes& out) {
    if (code < kDirectLevels) {
      out.push_back(static_cast<std::uint8_t>(kFirstSingleCode + code));
    } else {
      out.push_back(kEscapeCode);
      out.push_back(static_cast<std::uint8_t>(code));
    }
  }

  void encodeChunk(unsigned code, std::size_t length, Bytes& out) const {
    if (length == 1) return single(code, out);
    if (const std::int16_t k = exact_[code * kLengths + length - kMinRunLength]; k >= 0) {
      out.push_back(static_cast<std::uint8_t>(k));
    } else if (hasRunCode(code)) {
      out.push_back(static_cast<std::uint8_t>(kFirstRunCode + code));
      out.push_back(static_cast<std::uint8_t>(length - kMinRunLength));
    } else {
      encodeWithoutRunCode(code, length, out);
    }
  }

  // The longest fitting table entries of the level, then single cells for the rest.
  void encodeWithoutRunCode(unsigned code, std::size_t length, Bytes& out) const {
    for (const Entry& e : byLevel_[code]) {
      for (; e.length <= length; length -= e.length) out.push_back(e.index);
    }
    for (; length > 0; --length) single(code, out);
  }

  std::vector<std::int16_t> exact_;  // level * kLengths + (length - 2) -> entry, or -1
  std::vector<std::vector<Entry>> byLevel_;
};

bool gridIsValid(const GridDescription& g) noexcept { return g.nx > 0 && g.ny > 0 && g.dlon > 0 && g.dlat > 0; }

// Level code of every int16 value present in the records (ascending values), or nothing when
// there are more than 256 of them.
std::optional<std::vector<std::int16_t>> distinctValues(std::span<const ArchiveRecord> records) {
  std::vector<std::uint8_t> seen(kValueCount, 0);
  for (const ArchiveRecord& r : records) {
    for (std::int16_t v : r.values) seen[static_cast<std::uint16_t>(v)] = 1;
  }
  std::vector<std::int16_t> levels;
  for (int v = std::numeric_limits<std::int16_t>::min(); v <= std::numeric_limits<std::int16_t>::max(); ++v) {
    if (!seen[static_cast<std::uint16_t>(v)]) continue;
    if (levels.size() == 256) return std::nullopt;
    levels.push_back(static_cast<std::int16_t>(v));
  }
  return levels;
}

std::vector<std::vector<std::uint8_t>> levelCodes(std::span<const ArchiveRecord> records,
                                                  std::span<const std::int16_t> levels) {
  std::vector<std::uint8_t> codeOf(kValueCount, 0);
  for (std::size_t k = 0; k < levels.size(); ++k) codeOf[static_cast<std::uint16_t>(levels[k])] = static_cast<std::uint8_t>(k);
  std::vector<std::vector<std::uint8_t>> codes(records.size());
  for (std::size_t j = 0; j < records.size(); ++j) {
    codes[j].resize(records[j].values.size());
    std::transform(records[j].values.begin(), records[j].values.end(), codes[j].begin(),
                   [&](std::int16_t v) { return codeOf[static_cast<std::uint16_t>(v)]; });
  }
  return codes;
}

}  // namespace

Bytes assembleArchive(const ArchiveContents& c) {
  const std::size_t n = c.records.size();
  const std::size_t tables = kArchiveDirectoryOffset + kArchiveDirectoryEntrySize * n;
  const std::size_t levelCountAt = tables + kArchiveLevelCountOffsetAfterDirectory;
  const std::size_t runCountAt = levelCountAt + 2 + 2 * c.levels.size();
  std::size_t size = runCountAt + 2 + 2 * c.runs.size() + kGapAfterTables + kTrailingBytes;
  for (const EncodedRecord& r : c.records) size += kArchiveRecordSkippedBytes + r.stream.size();

  Bytes out(size);
  for (std::size_t i = 0; i < size; ++i) out[i] = filler(i);
  std::uint8_t* p = out.data();
  writeI16LE(p + kArchiveRecordCountOffset, static_cast<std::int16_t>(n));
  writeGrid(p + tables + kArchiveGridOffsetAfterDirectory, c.grid);
  writeI16LE(p + levelCountAt, static_cast<std::int16_t>(c.levels.size()));
  for (std::size_t k = 0; k < c.levels.size(); ++k) writeI16LE(p + levelCountAt + 2 + 2 * k, c.levels[k]);
  writeI16LE(p + runCountAt, static_cast<std::int16_t>(c.runs.size()));
  for (std::size_t k = 0; k < c.runs.size(); ++k) {
    p[runCountAt + 2 + 2 * k] = c.runs[k].level;
    p[runCountAt + 3 + 2 * k] = c.runs[k].extra;
  }
  std::size_t at = runCountAt + 2 + 2 * c.runs.size() + kGapAfterTables;
  for (std::size_t j = n; j-- > 0;) {
    std::uint8_t* entry = p + kArchiveDirectoryOffset + kArchiveDirectoryEntrySize * j;
    writeTimeStamp(entry, c.records[j].stamp);
    writeI32LE(entry + 16, static_cast<std::int32_t>(at));
    const Bytes& stream = c.records[j].stream;
    std::copy(stream.begin(), stream.end(), out.begin() + static_cast<std::ptrdiff_t>(at + kArchiveRecordSkippedBytes));
    at += kArchiveRecordSkippedBytes + stream.size();
  }
  return out;
}

std::vector<RunEntry> chooseRunTable(std::span<const std::vector<std::uint8_t>> codeRecords) {
  std::vector<std::uint32_t> counts(256 * kLengths, 0);
  for (const auto& codes : codeRecords) {
    forEachRunChunk(codes, [&](std::uint8_t code, std::size_t length) {
      if (length >= kMinRunLength) ++counts[code * kLengths + length - kMinRunLength];
    });
  }
  struct Candidate {
    std::uint64_t saving;
    std::size_t slot;
  };
  std::vector<Candidate> candidates;
  for (std::size_t slot = 0; slot < counts.size(); ++slot) {
    if (counts[slot] == 0) continue;
    const auto code = static_cast<unsigned>(slot / kLengths);
    const std::size_t length = slot % kLengths + kMinRunLength;
    candidates.push_back({counts[slot] * std::uint64_t{bytesWithoutTable(code, length) - 1}, slot});
  }
  const std::size_t keep = std::min<std::size_t>(candidates.size(), kAddressableRuns);
  std::partial_sort(candidates.begin(), candidates.begin() + static_cast<std::ptrdiff_t>(keep), candidates.end(),
                    [](const Candidate& a, const Candidate& b) {
                      return a.saving != b.saving ? a.saving > b.saving : a.slot < b.slot;
                    });
  std::vector<RunEntry> runs(keep);
  for (std::size_t k = 0; k < keep; ++k) {
    runs[k] = {static_cast<std::uint8_t>(candidates[k].slot / kLengths),
               static_cast<std::uint8_t>(candidates[k].slot % kLengths)};
  }
  return runs;
}

Bytes encodeRecordStream(std::span<const std::uint8_t> codes, std::span<const RunEntry> runs) {
  Bytes out;
  RunCoder(runs).encode(codes, out);
  return out;
}

Status encodeArchive(const GridDescription& grid, std::span<const ArchiveRecord> records, Bytes& out) {
  if (!gridIsValid(grid)) return {Problem::EncodeGridInvalid};
  if (records.size() > static_cast<std::size_t>(std::numeric_limits<std::int16_t>::max())) {
    return {Problem::EncodeTooManyRecords};
  }
  for (const ArchiveRecord& r : records) {
    if (r.values.size() != grid.cellCount()) return {Problem::EncodeRecordSizeMismatch};
  }
  std::optional<std::vector<std::int16_t>> levels = distinctValues(records);
  if (!levels) return {Problem::EncodeTooManyLevels};

  ArchiveContents contents{grid, std::move(*levels), {}, {}};
  const std::vector<std::vector<std::uint8_t>> codes = levelCodes(records, contents.levels);
  contents.runs = chooseRunTable(codes);
  const RunCoder coder(contents.runs);
  contents.records.resize(records.size());
  for (std::size_t j = 0; j < records.size(); ++j) {
    contents.records[j].stamp = records[j].stamp;
    coder.encode(codes[j], contents.records[j].stream);
  }
  out = assembleArchive(contents);
  return {};
}

Status writeArchiveFile(const std::filesystem::path& path, const GridDescription& grid,
                        std::span<const ArchiveRecord> records) {
  Bytes bytes;
  if (Status s = encodeArchive(grid, records, bytes); !s) return s;
  OutputFile file;
  if (Status s = file.open(path); !s) return s;
  if (Status s = file.write(bytes); !s) return s;
  return file.commit();
}

}  // namespace ombrix::core
