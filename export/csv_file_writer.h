#pragma once
// A CSV or list file built in a large memory buffer and handed to core::OutputFile in big
// blocks, so the target appears only when finish() succeeds. Failures name shownPath, the
// path the user knows the file by (it differs from the target while a set is being built in
// a temporary folder).
#include <cstddef>
#include <filesystem>
#include <string_view>
#include <vector>

#include "core/output_file.h"
#include "core/problem.h"

namespace ombrix::exports {

inline constexpr std::string_view kLineEnd = "\r\n";

class CsvFileWriter {
 public:
  core::Status open(const std::filesystem::path& target, const std::filesystem::path& shownPath);
  // Like open(), with the file unnamed in folder (core::OutputFile::openUnnamedIn()).
  core::Status openUnnamedIn(const std::filesystem::path& folder, const std::filesystem::path& target,
                             const std::filesystem::path& shownPath);
  // Room for at least count more bytes; write into it and hand the end to advance().
  char* room(std::size_t count);
  void advance(char* end) noexcept { used_ = static_cast<std::size_t>(end - buffer_.data()); }
  void append(std::string_view text);
  void appendLine(std::string_view text);
  // Writes what is buffered and renames the file over its target.
  core::Status finish();
  // Writes what is buffered and hands the completed file, not yet committed, to completed.
  core::Status complete(core::OutputFile& completed);
  // Whether a write has failed already (finish() then reports it).
  bool failed() const noexcept { return !failure_; }

 private:
  core::Status start(const core::Status& opened, const std::filesystem::path& shownPath);
  // The output file's failure, naming shownPath_.
  void fail(const core::Status& status);
  void flush();

  core::OutputFile file_;
  std::filesystem::path shownPath_;
  std::vector<char> buffer_;
  std::size_t used_ = 0;
  core::Status failure_;  // the first failure, reported by finish() and complete()
};

}  // namespace ombrix::exports
