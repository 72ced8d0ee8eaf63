// Fuzz target: an archive file parsed from memory and its records decoded, whole and row by row.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/rap_archive.h"

namespace {

// A grid may claim up to 257 cells per byte of the file; a decoded record costs a store per
// cell. The decoder's paths do not depend on the grid's size, so big grids and long record
// lists are only parsed, and the first records of a small grid decoded, keeping every
// execution cheap.
constexpr std::size_t kMostCellsDecoded = std::size_t{1} << 14;
constexpr std::size_t kMostRecordsDecoded = 8;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ombrix::core::ArchiveFile archive;
  if (!archive.parse(ombrix::core::Bytes(data, data + size), "fuzz.RAP")) return 0;
  if (archive.records().empty() || archive.grid().cellCount() > kMostCellsDecoded) return 0;
  std::vector<std::int16_t> cells(archive.grid().cellCount());
  const std::size_t records = std::min(archive.records().size(), kMostRecordsDecoded);
  for (std::size_t j = 0; j < records; ++j) {
    (void)archive.decodeRecord(j, cells);
    (void)archive.decodeRecordRows(j, [](std::size_t, std::span<const std::int16_t>) {});
  }
  return 0;
}
