#include "export/csv_file_writer.h"

#include <cstring>
#include <string>
#include <utility>

namespace ombrix::exports {

namespace {
constexpr std::size_t kBlockSize = std::size_t{4} << 20;
}  // namespace

void CsvFileWriter::fail(const core::Status& status) {
  if (failure_) failure_ = {status.problem, shownPath_, status.details};
}

core::Status CsvFileWriter::start(const core::Status& opened, const std::filesystem::path& shownPath) {
  shownPath_ = shownPath;
  used_ = 0;
  failure_ = {};
  fail(opened);
  buffer_.resize(kBlockSize);
  return failure_;
}

core::Status CsvFileWriter::open(const std::filesystem::path& target, const std::filesystem::path& shownPath) {
  return start(file_.open(target), shownPath);
}

core::Status CsvFileWriter::openUnnamedIn(const std::filesystem::path& folder, const std::filesystem::path& target,
                                          const std::filesystem::path& shownPath) {
  return start(file_.openUnnamedIn(folder, target), shownPath);
}

void CsvFileWriter::flush() {
  if (failure_ && used_ > 0) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(buffer_.data());
    fail(file_.write(std::span(bytes, used_)));
  }
  used_ = 0;
}

char* CsvFileWriter::room(std::size_t count) {
  if (buffer_.size() - used_ < count) {
    flush();
    if (buffer_.size() < count) buffer_.resize(count);
  }
  return buffer_.data() + used_;
}

void CsvFileWriter::append(std::string_view text) {
  char* out = room(text.size());
  std::memcpy(out, text.data(), text.size());
  advance(out + text.size());
}

void CsvFileWriter::appendLine(std::string_view text) {
  append(text);
  append(kLineEnd);
}

core::Status CsvFileWriter::complete(core::OutputFile& completed) {
  flush();
  if (failure_) fail(file_.complete());
  if (!failure_) {
    file_.discard();
    return failure_;
  }
  completed = std::move(file_);
  return core::Status{};
}

core::Status CsvFileWriter::finish() {
  core::OutputFile completed;
  if (core::Status s = complete(completed); !s) return s;
  fail(completed.commit());
  return failure_;
}

}  // namespace ombrix::exports
