#pragma once
// A frame of the cube's rain variable as the file stores its chunk: the 16-bit cells, every
// negative one made the fill value -1, laid out as HDF5's shuffle filter lays out 2-byte
// elements (the low bytes of all cells, then their high bytes: the file's values are
// little-endian) and deflated into a zlib stream. Readers undo both filters as if the library
// had applied them.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace ombrix::gis {

// The deflate level the file declares. The chunks are deflated by ISA-L's encoder at its level 1,
// several times faster than zlib's level 1 and a little smaller on rainfall frames; any inflater
// reads them.
inline constexpr int kDeflateLevel = 1;

void shuffleFrame(std::span<const std::int16_t> cells, std::span<std::uint8_t> planes) noexcept;

// A zlib stream encoder with its own working memory: one for each thread.
class ChunkDeflater {
 public:
  ChunkDeflater();

  // Room that deflate() needs for size bytes, whatever they are.
  static std::size_t bound(std::size_t size) noexcept;
  // Bytes written into out (at least bound(bytes.size()) long); 0 when the encoder failed.
  std::size_t deflate(std::span<const std::uint8_t> bytes, std::span<std::uint8_t> out) noexcept;

 private:
  std::vector<std::uint8_t> workspace_;
};

}  // namespace ombrix::gis
