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
#include <system_error>
#include <utility>

#include "core/fault_injection.h"

namespace ombrix::core {

namespace {
constexpr std::size_t kBufferSize = 1 << 20;
// Descriptors left for the rest of the program while files are held open.
constexpr rlim_t kReservedDescriptors = 128;
// Bytes of the target's name kept in a temporary name: the rest of a 255-byte name is left for
// the dot, the process id, the stamp, the counter and ".part".
constexpr std::size_t kNameBytesKept = 200;

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
  return ::open(folder.empty() ? "." : folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
}

// Gives the unnamed file fd the name path.
bool linkUnnamed(int fd, const std::filesystem::path& path) {
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  return ::linkat(fd, "", AT_FDCWD, path.c_str(), AT_EMPTY_PATH) == 0 ||
         ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0;
}
// "." and the target's name, cut to kNameBytesKept bytes at the start of a character, then ".":
// what every temporary name of target begins with.
std::string temporaryPrefix(const std::filesystem::path& target) {
  std::string name = target.filename().string();
  if (name.size() > kNameBytesKept) {
    std::size_t end = kNameBytesKept;
    while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) --end;
    name.resize(end);
  }
  return "." + name + ".";
}

Status folderTarget(const std::filesystem::path& target) {
  std::error_code error;
  if (std::filesystem::is_directory(target, error)) return Status{Problem::OutputIsFolder, target};
  return {};
}
}  // namespace

std::filesystem::path temporarySibling(const std::filesystem::path& target) {
  static std::atomic<unsigned> counter{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  const std::string unique = std::to_string(::getpid()) + "-" + std::to_string(stamp % 1000000) + "-" +
                             std::to_string(counter++);
  return target.parent_path() / (temporaryPrefix(target) + unique + ".part");
}

void removeStaleTemporaries(const std::filesystem::path& target) {
  namespace fs = std::filesystem;
  const std::string prefix = temporaryPrefix(target);
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

void ignoreFileSizeSignal() noexcept { ::signal(SIGXFSZ, SIG_IGN); }

std::string systemReason(int error) { return std::generic_category().message(error); }

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
    reason_ = std::move(other.reason_);
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
  if (Status s = openUnnamedIn(target.parent_path(), target); s || s.problem == Problem::OutputIsFolder) return s;
  for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
    temporary_ = temporarySibling(target);
    fd_ = ::open(temporary_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ < 0 && errno != EEXIST) break;
  }
  if (fd_ < 0) return Status{Problem::CannotCreateFile, target_, {.reason = systemReason(errno)}};
  return {};
}

Status OutputFile::openUnnamedIn(const std::filesystem::path& folder, const std::filesystem::path& target) {
  discard();
  target_ = target;
  failed_ = false;
  completed_ = false;
  position_ = 0;
  reason_.clear();
  if (Status s = folderTarget(target); !s) return s;
  buffer_.reserve(kBufferSize);
  fd_ = openUnnamed(folder);
  unnamed_ = fd_ >= 0;
  if (fd_ < 0) return Status{Problem::CannotCreateFile, target_, {.reason = systemReason(errno)}};
  return {};
}

std::filesystem::path OutputFile::openPath() const {
  return unnamed_ ? std::filesystem::path("/proc/self/fd/" + std::to_string(fd_)) : temporary_;
}

Status OutputFile::writeFailure() {
  if (!failed_) reason_ = systemReason(errno);
  failed_ = true;
  return Status{Problem::CannotWriteFile, target_, {.reason = reason_}};
}

Status OutputFile::flush() {
  if (failed_ || fd_ < 0) return writeFailure();
  if (buffer_.empty()) return {};
  if (!writeAll(fd_, buffer_.data(), buffer_.size(), position_ - buffer_.size())) return writeFailure();
  buffer_.clear();
  return {};
}

Status OutputFile::write(std::span<const std::uint8_t> bytes) {
  if (failed_ || fd_ < 0) return writeFailure();
  if (buffer_.size() + bytes.size() > kBufferSize) {
    if (Status s = flush(); !s) return s;
  }
  if (bytes.size() >= kBufferSize) {
    if (!writeAll(fd_, bytes.data(), bytes.size(), position_)) return writeFailure();
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
  if (!writeAll(fd_, bytes.data(), bytes.size(), offset)) return writeFailure();
  testKillPoint();
  return {};
}

Status OutputFile::complete() {
  if (completed_) return {};
  if (Status s = flush(); !s) return s;
  if (::fsync(fd_) != 0) return writeFailure();
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
  Status status;
  if (unnamed_ && !linkUnnamed(fd_, temporary_)) status = writeFailure();
  if (::close(fd_) != 0 && status) status = writeFailure();
  fd_ = -1;
  if (status && ::rename(temporary_.c_str(), target_.c_str()) != 0) status = writeFailure();
  if (!status) ::unlink(temporary_.c_str());
  temporary_.clear();
  return status;
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

Status StagedOutputPath::open(const std::filesystem::path& target) {
  removeStaleTemporaries(target);
  Status status = file_.open(target);
  temporary_ = status ? file_.openPath() : std::filesystem::path();
  return status;
}

}  // namespace ombrix::core
