// Fuzz target: an archive file parsed from memory and every one of its records decoded.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/rap_archive.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ombrix::core::ArchiveFile archive;
  if (!archive.parse(ombrix::core::Bytes(data, data + size), "fuzz.RAP")) return 0;
  // The grid is checked against the file's size only through its records: like the
  // preprocessing run, size the buffer only for a file that has some.
  if (archive.records().empty()) return 0;
  std::vector<std::int16_t> cells(archive.grid().cellCount());
  for (std::size_t j = 0; j < archive.records().size(); ++j) (void)archive.decodeRecord(j, cells);
  return 0;
}
