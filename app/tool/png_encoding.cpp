#include "app/tool/png_encoding.h"

#include <zlib.h>

#include <array>
#include <cstddef>
#include <string_view>

namespace ombrix::tool {

namespace {

using Bytes = std::vector<std::uint8_t>;

void appendBigEndian(Bytes& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

// Length, type, data and the CRC of type and data.
void appendChunk(Bytes& out, std::string_view type, const Bytes& data) {
  appendBigEndian(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t typeAt = out.size();
  out.insert(out.end(), type.begin(), type.end());
  out.insert(out.end(), data.begin(), data.end());
  uLong crc = crc32(0L, Z_NULL, 0);
  crc = crc32_z(crc, out.data() + typeAt, out.size() - typeAt);
  appendBigEndian(out, static_cast<std::uint32_t>(crc));
}

// Row y as the PNG stores it: the filter byte 1, then each byte of R, G, B less the same byte
// of the pixel to its left.
void filteredRow(const viewer::RgbImage& image, int y, Bytes& row) {
  row.assign(1 + 3 * static_cast<std::size_t>(image.width()), 0);
  row[0] = 1;
  std::array<std::uint8_t, 3> left{};
  for (int x = 0; x < image.width(); ++x) {
    const std::uint32_t pixel = image.pixel(x, y);
    const std::array<std::uint8_t, 3> rgb{static_cast<std::uint8_t>(pixel >> 16), static_cast<std::uint8_t>(pixel >> 8),
                                          static_cast<std::uint8_t>(pixel)};
    for (std::size_t c = 0; c < 3; ++c) row[1 + 3 * static_cast<std::size_t>(x) + c] = static_cast<std::uint8_t>(rgb[c] - left[c]);
    left = rgb;
  }
}

// The zlib stream of every filtered row; empty when zlib refuses.
Bytes deflatedRows(const viewer::RgbImage& image) {
  z_stream stream{};
  if (deflateInit(&stream, Z_DEFAULT_COMPRESSION) != Z_OK) return {};
  Bytes out;
  Bytes row;
  std::array<std::uint8_t, 1 << 16> buffer{};
  int status = Z_OK;
  for (int y = 0; y <= image.height() && status == Z_OK; ++y) {
    const bool last = y == image.height();
    if (!last) filteredRow(image, y, row);
    stream.next_in = last ? Z_NULL : row.data();
    stream.avail_in = last ? 0 : static_cast<uInt>(row.size());
    do {
      stream.next_out = buffer.data();
      stream.avail_out = static_cast<uInt>(buffer.size());
      status = deflate(&stream, last ? Z_FINISH : Z_NO_FLUSH);
      out.insert(out.end(), buffer.data(), stream.next_out);
    } while (status == Z_OK && stream.avail_out == 0);
    if (status == Z_BUF_ERROR) status = Z_OK;  // nothing left to do for this row
  }
  deflateEnd(&stream);
  return status == Z_STREAM_END ? out : Bytes{};
}

}  // namespace

std::vector<std::uint8_t> encodePng(const viewer::RgbImage& image) {
  const Bytes idat = deflatedRows(image);
  if (idat.empty()) return {};
  Bytes png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Bytes header;
  appendBigEndian(header, static_cast<std::uint32_t>(image.width()));
  appendBigEndian(header, static_cast<std::uint32_t>(image.height()));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, adaptive filters, no interlace
  appendChunk(png, "IHDR", header);
  appendChunk(png, "IDAT", idat);
  appendChunk(png, "IEND", {});
  return png;
}

}  // namespace ombrix::tool
