#pragma once
// Writer of daily archive files (.RAP) in the layout the reader decodes: used by the sample
// archive maker, the importers and the tests. Bytes the reader skips are filled with a non-zero
// pattern and records are placed out of directory order, so no reader can come to rely on
// either.
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "core/byte_io.h"
#include "core/problem.h"
#include "core/rap_archive.h"
#include "core/time_stamp.h"

namespace ombrix::core {

// One record as values: grid.cellCount() cells, row 0 (north) first, each row west to east.
struct ArchiveRecord {
  TimeStamp stamp;
  std::vector<std::int16_t> values;
};

// One record as its compressed stream (the bytes after the record's 4 skipped bytes).
struct EncodedRecord {
  TimeStamp stamp;
  Bytes stream;
};

// Everything an archive file holds, with the streams already made (for tests of specific codes).
struct ArchiveContents {
  GridDescription grid;
  std::vector<std::int16_t> levels;
  std::vector<RunEntry> runs;
  std::vector<EncodedRecord> records;
};

// Lays contents out as an archive file: the tables, a small gap, the records in reverse
// directory order, and a few bytes after the last stream.
Bytes assembleArchive(const ArchiveContents& contents);

// The run table that saves most bytes for these records of level codes: up to 128 (level,
// length) pairs, chosen by how often each occurs and how much a one-byte code saves on it.
std::vector<RunEntry> chooseRunTable(std::span<const std::vector<std::uint8_t>> codeRecords);

// Compresses one record of level codes. Uses a run-table byte where an entry matches, single
// cells 0x80-0xBF for codes below 64, the escape 0xFE for higher codes, and 0xC0-0xFD / 0xFF
// runs otherwise; runs of codes 62 and above 63 (which those can't name) are made of table
// entries and single cells. Runs longer than 257 cells are split.
Bytes encodeRecordStream(std::span<const std::uint8_t> codes, std::span<const RunEntry> runs);

// A whole archive file from records of values: the level table is the distinct values in
// ascending order (at most 256), the run table is chosen over all records. Refuses an invalid
// grid, a record of the wrong size, more than 256 distinct values or more than 32,767 records.
Status encodeArchive(const GridDescription& grid, std::span<const ArchiveRecord> records, Bytes& out);

// encodeArchive written to path through a temporary file.
Status writeArchiveFile(const std::filesystem::path& path, const GridDescription& grid,
                        std::span<const ArchiveRecord> records);

}  // namespace ombrix::core
