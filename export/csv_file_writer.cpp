#include "export/csv_file_writer.h"

#include <cstring>

namespace ombrix::exports {

namespace {
constexpr std::size_t kBlockSize = std::size_t{4} << 20;
}  // namespace

core::Status CsvFileWriter::open(const std::filesystem::path& target, const std::filesystem::path& shownPath) {
  shownPath_ = shownPath;
  used_ = 0;
  failed_ = false;
  buffer_.resize(kBlockSize);
  if (!file_.open(target)) {
    failed_ = true;
    return {core::Problem::CannotCreateFile, shownPath_};
  }
  return {};
}

void CsvFileWriter::flush() {
  if (!failed_ && used_ > 0) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(buffer_.data());
    failed_ = !file_.write(std::span(bytes, used_));
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

core::Status CsvFileWriter::finish() {
  flush();
  if (failed_ || !file_.commit()) {
    file_.discard();
    failed_ = true;
    return {core::Problem::CannotWriteFile, shownPath_};
  }
  return {};
}

}  // namespace ombrix::exports
