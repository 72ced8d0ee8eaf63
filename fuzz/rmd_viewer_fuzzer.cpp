// Fuzz target: the input as an RMD file in memory, opened as the viewer's file dialog does, and
// its frames read as every command reads them: whole frames as the viewer shows them and the
// exports and areal rainfall read them, bands of rows as the duration map and the whole-period
// export read them, and single cells as the point series reads them. What the reader gives
// must agree with the decoder.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "core/analysis_conditions.h"
#include "core/rmd_file.h"
#include "viewer/frame_loading.h"
#include "viewer/rmd_opening.h"

namespace {

using ombrix::core::CellRange;

// Every frame of a short file; the first and last 4 of a long one (the frames between take
// the same paths).
bool frameToLoad(int k, int count) { return k < 4 || k >= count - 4; }

// Reads frame k whole, by its second half of rows and by its last cell, and checks them against
// the viewer's decoding of the same frame.
void readFrame(ombrix::core::RmdFrameReader& reader, const ombrix::core::RmdDataset& file, int k,
               std::span<const std::uint8_t> bytes) {
  const ombrix::core::RmdHeader& header = file.header();
  const std::int32_t offset = file.index()[static_cast<std::size_t>(k)].frameOffset;
  std::vector<std::int16_t> decoded;
  std::vector<std::int16_t> whole;
  const bool fits = static_cast<bool>(ombrix::viewer::decodeFrame(file, k, bytes, decoded));
  if (static_cast<bool>(reader.read(header, offset, {0, header.cellCount()}, whole)) != fits || (fits && whole != decoded)) {
    std::abort();
  }
  const auto columns = static_cast<std::size_t>(header.gridCols);
  const CellRange band{columns * static_cast<std::size_t>(header.gridRows / 2),
                       columns * static_cast<std::size_t>(header.gridRows - header.gridRows / 2)};
  std::vector<std::int16_t> rows;
  if (reader.read(header, offset, band, rows) && fits &&
      !std::equal(rows.begin(), rows.end(), decoded.begin() + static_cast<std::ptrdiff_t>(band.first))) {
    std::abort();
  }
  std::int16_t last = 0;
  if (reader.readCell(header, offset, header.cellCount() - 1, last) && fits && last != decoded.back()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  const ombrix::viewer::RmdOpening opening =
      ombrix::viewer::openRmdBytes(bytes, size, "/fuzz/Ka20050712005073.RMD", 64, 48);
  if (!opening.status) return 0;
  ombrix::core::AnalysisConditions conditions;
  conditions.takeOpenedFile(opening.file.dataset(), opening.file.geometry, opening.file.areaName);
  ombrix::core::RmdFrameReader reader;
  reader.openBytes(bytes, conditions.file.path());
  const ombrix::core::RmdDataset file = conditions.openFileDataset();
  const int frames = file.frameCount();
  for (int k = 0; k < frames; ++k) {
    if (frameToLoad(k, frames)) readFrame(reader, file, k, bytes);
  }
  std::vector<std::int16_t> series;
  (void)ombrix::core::readRmdCellSeries(reader, file.contents(), file.header().cellCount() / 2, series);
  return 0;
}
