#pragma once
// Little-endian integer access on byte buffers. Callers check bounds before reading;
// the ByteReader cursor does it for them and reports a short buffer instead of reading past it.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace ombrix::core {

using Bytes = std::vector<std::uint8_t>;

inline std::uint8_t readU8(const std::uint8_t* p) noexcept { return p[0]; }
inline std::uint16_t readU16LE(const std::uint8_t* p) noexcept {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::int16_t readI16LE(const std::uint8_t* p) noexcept {
  return static_cast<std::int16_t>(readU16LE(p));
}
inline std::uint32_t readU32LE(const std::uint8_t* p) noexcept {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline std::int32_t readI32LE(const std::uint8_t* p) noexcept {
  return static_cast<std::int32_t>(readU32LE(p));
}

inline void writeI16LE(std::uint8_t* p, std::int16_t v) noexcept {
  const auto u = static_cast<std::uint16_t>(v);
  p[0] = static_cast<std::uint8_t>(u);
  p[1] = static_cast<std::uint8_t>(u >> 8);
}
inline void writeI32LE(std::uint8_t* p, std::int32_t v) noexcept {
  const auto u = static_cast<std::uint32_t>(v);
  p[0] = static_cast<std::uint8_t>(u);
  p[1] = static_cast<std::uint8_t>(u >> 8);
  p[2] = static_cast<std::uint8_t>(u >> 16);
  p[3] = static_cast<std::uint8_t>(u >> 24);
}

// Appending writers for building files in memory.
inline void appendU8(Bytes& out, std::uint8_t v) { out.push_back(v); }
inline void appendI16LE(Bytes& out, std::int16_t v) {
  out.resize(out.size() + 2);
  writeI16LE(out.data() + out.size() - 2, v);
}
inline void appendI32LE(Bytes& out, std::int32_t v) {
  out.resize(out.size() + 4);
  writeI32LE(out.data() + out.size() - 4, v);
}

// Bounds-checked view of a byte range: every accessor says whether the bytes exist.
class ByteView {
 public:
  explicit ByteView(std::span<const std::uint8_t> bytes) noexcept : bytes_(bytes) {}
  std::size_t size() const noexcept { return bytes_.size(); }
  bool has(std::size_t offset, std::size_t count) const noexcept {
    return offset <= bytes_.size() && count <= bytes_.size() - offset;
  }
  // The accessors below require has(offset, width).
  std::uint8_t u8(std::size_t offset) const noexcept { return bytes_[offset]; }
  std::int16_t i16(std::size_t offset) const noexcept { return readI16LE(bytes_.data() + offset); }
  std::int32_t i32(std::size_t offset) const noexcept { return readI32LE(bytes_.data() + offset); }
  const std::uint8_t* at(std::size_t offset) const noexcept { return bytes_.data() + offset; }
  std::span<const std::uint8_t> span() const noexcept { return bytes_; }

 private:
  std::span<const std::uint8_t> bytes_;
};

}  // namespace ombrix::core
