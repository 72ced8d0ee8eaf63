#pragma once
// A file written as an unnamed file in its target's folder (or, where the file system cannot
// make one, under a hidden temporary name) and renamed over the target only by commit(). A
// refused, failed or interrupted write therefore never leaves a half-written target nor damages
// an existing one; an unnamed file vanishes even when the process is killed, and the temporary
// name never matches "*.RMD" or "*.CSV". A set of files can be held unnamed until all are
// complete and committed together (see openUnnamedIn()).
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/problem.h"

namespace ombrix::core {

class OutputFile {
 public:
  OutputFile() = default;
  ~OutputFile();  // removes the temporary file unless committed
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  OutputFile(OutputFile&& other) noexcept;
  OutputFile& operator=(OutputFile&& other) noexcept;

  // Creates the temporary file beside target. The target itself is not touched yet.
  Status open(const std::filesystem::path& target);
  // Creates the file unnamed in folder, to be committed as target, which may lie in a folder
  // made below folder meanwhile. Fails where folder cannot hold unnamed files: no name fallback.
  Status openUnnamedIn(const std::filesystem::path& folder, const std::filesystem::path& target);

  // Sequential output, buffered.
  Status write(std::span<const std::uint8_t> bytes);
  Status write(std::string_view text);
  // Positioned output; bytes never written read as zero. Flushes the sequential buffer first.
  Status writeAt(std::uint64_t offset, std::span<const std::uint8_t> bytes);

  // Flushes and syncs the file and frees its buffer; it keeps only its descriptor until commit().
  Status complete();
  // Completes the file unless done, and renames it over the target.
  Status commit();
  // Removes the temporary file; the target stays as it was.
  void discard() noexcept;

  const std::filesystem::path& target() const noexcept { return target_; }
  bool isOpen() const noexcept { return fd_ >= 0; }
  // The path by which a library can open the file: /proc/self/fd/N while it is unnamed, else its
  // temporary name.
  std::filesystem::path openPath() const;

 private:
  Status flush();
  Status writeFailure();

  int fd_ = -1;
  std::filesystem::path target_;
  std::filesystem::path temporary_;
  std::string reason_;  // the system's words for the first failure
  std::vector<std::uint8_t> buffer_;
  std::uint64_t position_ = 0;  // where the next sequential byte goes
  bool failed_ = false;
  bool unnamed_ = false;  // no name until commit() links it under temporary_
  bool completed_ = false;
};

// A hidden temporary name in the folder of target, unique within this process run and short
// enough for any name the file system accepts for target itself.
std::filesystem::path temporarySibling(const std::filesystem::path& target);
// Removes the temporary siblings of target (files or folders) that a process killed while
// writing left behind: those whose process no longer runs. Another live writer's are kept.
void removeStaleTemporaries(const std::filesystem::path& target);
// Makes writing past the file-size limit (ulimit -f) fail with EFBIG, an ordinary write failure
// with its message, instead of ending the process. Each program's main() calls it first.
void ignoreFileSizeSignal() noexcept;
// The system's words for the error number (errno).
std::string systemReason(int error);
// Whether folder can hold unnamed files (see OutputFile::openUnnamedIn()).
bool canMakeUnnamedFiles(const std::filesystem::path& folder);
// Whether count more files can be held open at once beside what the program keeps open
// otherwise, raising the soft open-file limit toward the hard one where that is needed.
bool canHoldOpen(std::size_t count);

// The same promise for files that a library writes by name: the library opens temporary() and
// truncates it, commit() syncs it and renames it over the target; otherwise the destructor
// removes it. temporary() names the unnamed file through /proc/self/fd, so that a kill leaves
// nothing; where the folder cannot hold unnamed files it is a hidden name that the next
// writer of the same target removes when its process is gone.
class StagedOutputPath {
 public:
  const std::filesystem::path& target() const noexcept { return file_.target(); }
  const std::filesystem::path& temporary() const noexcept { return temporary_; }
  // Removes what killed writers of target left, then makes the file.
  Status open(const std::filesystem::path& target);
  // Writes bytes at the start of the file, before the library opens it.
  Status write(std::span<const std::uint8_t> bytes) { return file_.writeAt(0, bytes); }
  Status commit() { return file_.commit(); }

 private:
  OutputFile file_;
  std::filesystem::path temporary_;
};

}  // namespace ombrix::core
