#include "core/output_file.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <string>
#include <utility>

#include "core/fault_injection.h"

namespace ombrix::core {

namespace {
constexpr std::size_t kBufferSize = 1 << 20;
// Descriptors left for the rest of the program while files are held open.
constexpr rlim_t kReservedDescriptors = 128;

bool writeAll(int fd, const std::uint8_t* data, std::size_t size, std::uint64_t offset) {
  while (size > 0) {
    const ssize_t n = ::pwrite(fd, data, size, static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<std::size_t>(n);
    offset += static_cast<std::uint64_t>(n);
  }
  return true;
}

// An unnamed file in folder (the current one when empty): nothing of it is left if the process
// dies. -1 where the file system cannot make one.
int openUnnamed(const std::filesystem::path& folder) {
  return ::open(folder.empty() ? "." : folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
}

// Gives the unnamed file fd the name path.
bool linkUnnamed(int fd, const std::filesystem::path& path) {
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  return ::linkat(fd, "", AT_FDCWD, path.c_str(), AT_EMPTY_PATH) == 0 ||
         ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0;
}
}  // namespace

std::filesystem::path temporarySibling(const std::filesystem::path& target) {
  static std::atomic<unsigned> counter{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  const std::string unique = std::to_string(::getpid()) + "-" + std::to_string(stamp % 1000000) + "-" +
                             std::to_string(counter++);
  std::string name(".");
  name.append(target.filename().string()).append(".").append(unique).append(".part");
  return target.parent_path() / name;
}

void removeStaleTemporaries(const std::filesystem::path& target) {
  namespace fs = std::filesystem;
  std::string prefix(".");
  prefix.append(target.filename().string()).append(".");
  const std::string_view suffix = ".part";
  std::error_code error;
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  std::vector<fs::path> stale;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (name.size() <= prefix.size() + suffix.size() || name.compare(0, prefix.size(), prefix) != 0 ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) {
      continue;
    }
    int pid = 0;
    const char* digits = name.data() + prefix.size();
    const auto [next, problem] = std::from_chars(digits, name.data() + name.size(), pid);
    if (problem != std::errc() || *next != '-' || pid <= 0) continue;
    if (::kill(pid, 0) != 0 && errno == ESRCH) stale.push_back(it->path());
  }
  for (const fs::path& path : stale) fs::remove_all(path, error);
}

bool canMakeUnnamedFiles(const std::filesystem::path& folder) {
  const int fd = openUnnamed(folder);
  if (fd >= 0) ::close(fd);
  return fd >= 0;
}

bool canHoldOpen(std::size_t count) {
  rlimit limit{};
  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) return false;
  const rlim_t needed = static_cast<rlim_t>(count) + kReservedDescriptors;
  if (limit.rlim_cur == RLIM_INFINITY || needed <= limit.rlim_cur) return true;
  if (limit.rlim_max != RLIM_INFINITY && needed > limit.rlim_max) return false;
  limit.rlim_cur = needed;
  return ::setrlimit(RLIMIT_NOFILE, &limit) == 0;
}

OutputFile::~OutputFile() { discard(); }

OutputFile::OutputFile(OutputFile&& other) noexcept { *this = std::move(other); }

OutputFile& OutputFile::operator=(OutputFile&& other) noexcept {
  if (this != &other) {
    discard();
    fd_ = other.fd_;
    target_ = std::move(other.target_);
    temporary_ = std::move(other.temporary_);
    buffer_ = std::move(other.buffer_);
    position_ = other.position_;
    failed_ = other.failed_;
    unnamed_ = other.unnamed_;
    completed_ = other.completed_;
    other.fd_ = -1;
  }
  return *this;
}

Status OutputFile::open(const std::filesystem::path& target) {
  if (openUnnamedIn(target.parent_path(), target)) return {};
  for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
    temporary_ = temporarySibling(target);
    fd_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ < 0 && errno != EEXIST) break;
  }
  if (fd_ < 0) return Status{Problem::CannotCreateFile, target_};
  return {};
}

Status OutputFile::openUnnamedIn(const std::filesystem::path& folder, const std::filesystem::path& target) {
  discard();
  target_ = target;
  failed_ = false;
  completed_ = false;
  position_ = 0;
  buffer_.reserve(kBufferSize);
  fd_ = openUnnamed(folder);
  unnamed_ = fd_ >= 0;
  if (fd_ < 0) return Status{Problem::CannotCreateFile, target_};
  return {};
}

Status OutputFile::writeFailure() const {
  return Status{Problem::CannotWriteFile, target_};
}

Status OutputFile::flush() {
  if (failed_ || fd_ < 0) return writeFailure();
  if (buffer_.empty()) return {};
  if (!writeAll(fd_, buffer_.data(), buffer_.size(), position_ - buffer_.size())) {
    failed_ = true;
    return writeFailure();
  }
  buffer_.clear();
  return {};
}

Status OutputFile::write(std::span<const std::uint8_t> bytes) {
  if (failed_ || fd_ < 0) return writeFailure();
  if (buffer_.size() + bytes.size() > kBufferSize) {
    if (Status s = flush(); !s) return s;
  }
  if (bytes.size() >= kBufferSize) {
    if (!writeAll(fd_, bytes.data(), bytes.size(), position_)) {
      failed_ = true;
      return writeFailure();
    }
  } else {
    buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
  }
  position_ += bytes.size();
  testKillPoint();
  return {};
}

Status OutputFile::write(std::string_view text) {
  return write(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

Status OutputFile::writeAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) {
  if (Status s = flush(); !s) return s;
  if (!writeAll(fd_, bytes.data(), bytes.size(), offset)) {
    failed_ = true;
    return writeFailure();
  }
  testKillPoint();
  return {};
}

Status OutputFile::complete() {
  if (completed_) return {};
  if (Status s = flush(); !s) return s;
  if (::fsync(fd_) != 0) {
    failed_ = true;
    return writeFailure();
  }
  testKillPoint();
  std::vector<std::uint8_t>().swap(buffer_);
  completed_ = true;
  return {};
}

Status OutputFile::commit() {
  if (Status s = complete(); !s) {
    discard();
    return s;
  }
  if (unnamed_) temporary_ = temporarySibling(target_);
  const bool named = !unnamed_ || linkUnnamed(fd_, temporary_);
  const bool closed = ::close(fd_) == 0;
  fd_ = -1;
  if (!named || !closed || ::rename(temporary_.c_str(), target_.c_str()) != 0) {
    ::unlink(temporary_.c_str());
    return writeFailure();
  }
  temporary_.clear();
  return {};
}

void OutputFile::discard() noexcept {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  if (!temporary_.empty()) {
    ::unlink(temporary_.c_str());
    temporary_.clear();
  }
  buffer_.clear();
}

StagedOutputPath::StagedOutputPath(std::filesystem::path target)
    : target_(std::move(target)), temporary_(temporarySibling(target_)) {
  removeStaleTemporaries(target_);
}

StagedOutputPath::~StagedOutputPath() {
  if (!committed_) ::unlink(temporary_.c_str());
}

Status StagedOutputPath::commit() {
  const int fd = ::open(temporary_.c_str(), O_RDONLY | O_CLOEXEC);
  const bool synced = fd >= 0 && ::fsync(fd) == 0;
  if (fd >= 0) ::close(fd);
  if (!synced || ::rename(temporary_.c_str(), target_.c_str()) != 0) {
    return Status{Problem::CannotWriteFile, target_};
  }
  committed_ = true;
  return {};
}

}  // namespace ombrix::core
