#include "gis/netcdf_chunk.h"

#include <isa-l/igzip_lib.h>

#include <algorithm>
#include <limits>

namespace ombrix::gis {

namespace {

constexpr std::size_t kStoredBlock = 65535;  // the largest deflate block kept as it is
constexpr std::size_t kStoredBlockHeader = 5;
constexpr std::size_t kStreamFraming = 64;  // zlib header and checksum, with room to spare
constexpr std::uint32_t kEncoderLevel = 1;   // the encoder's level with matches and Huffman codes made per block

}  // namespace

void shuffleFrame(std::span<const std::int16_t> cells, std::span<std::uint8_t> planes) noexcept {
  const std::size_t n = cells.size();
  for (std::size_t i = 0; i < n; ++i) {
    const auto value = static_cast<std::uint16_t>(std::max<std::int16_t>(cells[i], -1));
    planes[i] = static_cast<std::uint8_t>(value);
    planes[n + i] = static_cast<std::uint8_t>(value >> 8);
  }
}

ChunkDeflater::ChunkDeflater() : workspace_(ISAL_DEF_LVL1_DEFAULT) {}

std::size_t ChunkDeflater::bound(std::size_t size) noexcept {
  return size + kStoredBlockHeader * (size / kStoredBlock + 1) + kStreamFraming;
}

std::size_t ChunkDeflater::deflate(std::span<const std::uint8_t> bytes, std::span<std::uint8_t> out) noexcept {
  constexpr std::size_t kLargest = std::numeric_limits<std::uint32_t>::max();
  if (bytes.size() > kLargest || out.size() > kLargest) return 0;
  isal_zstream stream;
  isal_deflate_stateless_init(&stream);
  stream.level = kEncoderLevel;
  stream.level_buf = workspace_.data();
  stream.level_buf_size = static_cast<std::uint32_t>(workspace_.size());
  stream.gzip_flag = IGZIP_ZLIB;
  stream.end_of_stream = 1;
  stream.next_in = const_cast<std::uint8_t*>(bytes.data());  // read only
  stream.avail_in = static_cast<std::uint32_t>(bytes.size());
  stream.next_out = out.data();
  stream.avail_out = static_cast<std::uint32_t>(out.size());
  return isal_deflate_stateless(&stream) == COMP_OK ? stream.total_out : 0;
}

}  // namespace ombrix::gis
