#include "core/input_file.h"

#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace ombrix::core {

InputFile::~InputFile() {
  if (fd_ >= 0) ::close(fd_);
}

InputFile::InputFile(InputFile&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

InputFile& InputFile::operator=(InputFile&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

bool InputFile::open(const std::filesystem::path& path) {
  if (fd_ >= 0) ::close(fd_);
  // Non-blocking, so that a named pipe in place of a file is refused instead of waiting for a
  // writer; reads of regular files are not affected.
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  struct stat status {};
  if (fd_ >= 0 && (::fstat(fd_, &status) != 0 || !S_ISREG(status.st_mode))) {
    ::close(fd_);
    fd_ = -1;
  }
  return fd_ >= 0;
}

std::optional<std::uint64_t> InputFile::size() const {
  struct stat status {};
  if (fd_ < 0 || ::fstat(fd_, &status) != 0 || status.st_size < 0) return std::nullopt;
  return static_cast<std::uint64_t>(status.st_size);
}

std::optional<std::size_t> InputFile::readAt(std::uint64_t offset, std::span<std::uint8_t> out) const {
  if (fd_ < 0) return std::nullopt;
  std::size_t got = 0;
  while (got < out.size()) {
    const ssize_t n = ::pread(fd_, out.data() + got, out.size() - got, static_cast<off_t>(offset + got));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return std::nullopt;
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  return got;
}

std::optional<Bytes> InputFile::readBlock(std::uint64_t offset, std::size_t count) const {
  Bytes bytes(count);
  const std::optional<std::size_t> got = readAt(offset, bytes);
  if (!got) return std::nullopt;
  bytes.resize(*got);
  return bytes;
}

std::optional<Bytes> readWholeFile(const std::filesystem::path& path) {
  InputFile file;
  if (!file.open(path)) return std::nullopt;
  const std::optional<std::uint64_t> size = file.size();
  if (!size) return std::nullopt;
  std::optional<Bytes> bytes = file.readBlock(0, static_cast<std::size_t>(*size));
  if (!bytes || bytes->size() != *size) return std::nullopt;
  return bytes;
}

}  // namespace ombrix::core
