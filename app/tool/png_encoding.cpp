#include "app/tool/png_encoding.h"

#include <png.h>

#include <csetjmp>
#include <cstddef>
#include <new>

namespace ombrix::tool {

namespace {

using Bytes = std::vector<std::uint8_t>;

// libpng hands each piece of the file to this function; a full memory ends the writing.
void appendToBytes(png_structp png, png_bytep data, std::size_t length) {
  auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
  bool full = false;
  try {
    out->insert(out->end(), data, data + length);
  } catch (const std::bad_alloc&) {
    full = true;
  }
  if (full) png_error(png, "out of memory");
}

void flushNothing(png_structp) {}

// Row y of image as R, G, B bytes.
void rgbRow(const viewer::RgbImage& image, int y, Bytes& row) {
  for (int x = 0; x < image.width(); ++x) {
    const std::uint32_t pixel = image.pixel(x, y);
    const std::size_t at = 3 * static_cast<std::size_t>(x);
    row[at] = static_cast<std::uint8_t>(pixel >> 16);
    row[at + 1] = static_cast<std::uint8_t>(pixel >> 8);
    row[at + 2] = static_cast<std::uint8_t>(pixel);
  }
}

// Writes image into out through png; libpng leaves by longjmp when it fails, so every object
// with a destructor lives in the caller.
bool writeRows(png_structp png, png_infop info, const viewer::RgbImage& image, Bytes& row, Bytes& out) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_write_fn(png, &out, appendToBytes, flushNothing);
  png_set_IHDR(png, info, static_cast<png_uint_32>(image.width()), static_cast<png_uint_32>(image.height()), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
  png_write_info(png, info);
  for (int y = 0; y < image.height(); ++y) {
    rgbRow(image, y, row);
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  return true;
}

}  // namespace

std::vector<std::uint8_t> encodePng(const viewer::RgbImage& image) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  Bytes row(3 * static_cast<std::size_t>(image.width()));
  Bytes out;
  const bool written = info != nullptr && writeRows(png, info, image, row, out);
  png_destroy_write_struct(&png, &info);
  return written ? out : Bytes{};
}

}  // namespace ombrix::tool
