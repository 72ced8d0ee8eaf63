#pragma once
// A file opened for reading in blocks: the one place where the readers get bytes from disk.
// Each reader decodes what it reads from memory; reading is only ever this thin layer.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>

#include "core/byte_io.h"

namespace ombrix::core {

class InputFile {
 public:
  InputFile() = default;
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  InputFile(InputFile&& other) noexcept;
  InputFile& operator=(InputFile&& other) noexcept;

  // False when the path names no regular file that can be opened for reading.
  bool open(const std::filesystem::path& path);
  // The file's size at the moment of the call; nothing when it cannot be told.
  std::optional<std::uint64_t> size() const;
  // Reads up to out.size() bytes at offset and returns how many were read (fewer only at the
  // end of the file); nothing on a read error.
  std::optional<std::size_t> readAt(std::uint64_t offset, std::span<std::uint8_t> out) const;
  // Up to count bytes at offset, in one block (fewer at the end of the file).
  std::optional<Bytes> readBlock(std::uint64_t offset, std::size_t count) const;

 private:
  int fd_ = -1;
};

// The whole file in one block; nothing when it is missing or cannot be read.
std::optional<Bytes> readWholeFile(const std::filesystem::path& path);

}  // namespace ombrix::core
