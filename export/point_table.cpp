#include "export/point_table.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <system_error>
#include <utility>

#include "core/archive_calendar.h"
#include "core/input_file.h"
#include "core/number_text.h"
#include "export/csv_file_writer.h"

namespace ombrix::exports {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kBlockSize = std::size_t{1} << 20;
// Far longer than any line of a set (5 + 48 short fields); a longer "line" is damage.
constexpr std::size_t kLongestLine = std::size_t{1} << 20;
constexpr std::string_view kHeaderStart = "ID,M,N,Keido,Ido";
constexpr std::size_t kLeadingFields = 5;

PointTableText refused(core::Status status) { return {std::move(status), {}}; }

PointTableResult refusal(core::Status status) { return {std::move(status), {}}; }

// A damaged line: the problem, the file and the line (from 1).
core::Status atLine(core::Problem problem, const std::string& file, std::int64_t line) {
  return {problem, file, {.line = line}};
}

std::string_view withoutCarriageReturn(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

bool allDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string_view withoutMinus(std::string_view text) {
  if (!text.empty() && text.front() == '-') text.remove_prefix(1);
  return text;
}

// A decimal as the export writes longitudes and latitudes: an optional minus, digits, and
// optionally a point and more digits.
bool isDecimal(std::string_view text) {
  text = withoutMinus(text);
  const std::size_t point = text.find('.');
  if (point == std::string_view::npos) return allDigits(text);
  return allDigits(text.substr(0, point)) && allDigits(text.substr(point + 1));
}

// ID, M and N are whole numbers from 0, Keido and Ido decimals, the values whole numbers.
bool fieldIsNumber(std::size_t index, std::string_view field) {
  if (index < 3) return allDigits(field);
  if (index < kLeadingFields) return isDecimal(field);
  return allDigits(withoutMinus(field));
}

std::size_t fieldCount(std::string_view line) {
  return 1 + static_cast<std::size_t>(std::count(line.begin(), line.end(), ','));
}

// A cell line: fields as many as the header's, numbers where numbers belong, and the ID of
// its position.
core::Problem checkCellLine(std::string_view line, std::size_t fields, std::int64_t id) {
  if (fieldCount(line) != fields) return core::Problem::DayFileFieldCount;
  std::size_t index = 0;
  for (std::size_t start = 0;; ++index) {
    const std::size_t end = line.find(',', start);
    const std::string_view field = line.substr(start, end == std::string_view::npos ? end : end - start);
    if (!fieldIsNumber(index, field)) return core::Problem::DayFileNotNumber;
    if (index == 0) {
      std::int64_t value = -1;
      const auto parsed = std::from_chars(field.data(), field.data() + field.size(), value);
      if (parsed.ec != std::errc() || value != id) return core::Problem::DayFileIdMismatch;
    }
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return core::Problem::None;
}

// Lines 0 .. wanted of a day file (0 the header), fed block by block and checked as they come.
// Every file's header must have the field count of the first file's (fields; 0 for the first).
class DayFileScan {
 public:
  DayFileScan(std::int64_t wanted, std::size_t fields) : wanted_(wanted), fields_(fields) {}

  // Takes the next block; false once the wanted line is read or a line is refused.
  bool consume(std::string_view block) {
    while (!done()) {
      const std::size_t end = block.find('\n');
      if (end == std::string_view::npos) {
        partial_.append(block);
        if (partial_.size() > kLongestLine) refuse(core::Problem::DayFileFieldCount);
        return !done();
      }
      if (partial_.empty()) {
        takeLine(block.substr(0, end));
      } else {
        partial_.append(block.substr(0, end));
        takeLine(partial_);
        partial_.clear();
      }
      block.remove_prefix(end + 1);
    }
    return false;
  }

  // After the last block: text after the last line end is a line cut short.
  void finish() {
    if (!done() && !partial_.empty()) refuse(core::Problem::DayFileLineCut);
  }

  bool found() const noexcept { return found_; }
  core::Problem fault() const noexcept { return fault_; }
  std::int64_t faultLine() const noexcept { return lineIndex_ + 1; }  // from 1
  const std::string& header() const noexcept { return header_; }
  const std::string& line() const noexcept { return line_; }
  std::size_t fields() const noexcept { return fields_; }

 private:
  bool done() const noexcept { return found_ || fault_ != core::Problem::None; }
  void refuse(core::Problem fault) { fault_ = fault; }

  void takeLine(std::string_view line) {
    line = withoutCarriageReturn(line);
    if (lineIndex_ == 0) {
      const bool named = line.starts_with(kHeaderStart) &&
                         (line.size() == kHeaderStart.size() || line[kHeaderStart.size()] == ',');
      if (!named || (fields_ != 0 && fieldCount(line) != fields_)) return refuse(core::Problem::DayFileHeaderInvalid);
      fields_ = fieldCount(line);
      header_ = line;
    } else if (const core::Problem fault = checkCellLine(line, fields_, lineIndex_ - 1); fault != core::Problem::None) {
      return refuse(fault);
    }
    if (lineIndex_ == wanted_) {
      line_ = line;
      found_ = true;
      return;
    }
    ++lineIndex_;
  }

  std::int64_t wanted_;
  std::size_t fields_;
  std::int64_t lineIndex_ = 0;
  std::string partial_;
  std::string header_;
  std::string line_;
  bool found_ = false;
  core::Problem fault_ = core::Problem::None;
};

bool readAll(const CsvSetFiles& set, const std::string& name, std::string& text) {
  return set.read(name, [&](std::string_view block) {
    text.append(block);
    return true;
  });
}

}  // namespace

bool CsvSetFolder::has(const std::string& name) const {
  std::error_code error;
  return fs::is_regular_file(folder_ / name, error);
}

bool CsvSetFolder::read(const std::string& name, const std::function<bool(std::string_view)>& consume) const {
  core::InputFile file;
  if (!file.open(folder_ / name)) return false;
  core::Bytes block(kBlockSize);
  for (std::uint64_t offset = 0;;) {
    const std::optional<std::size_t> got = file.readAt(offset, block);
    if (!got) return false;
    if (*got == 0 || !consume(std::string_view(reinterpret_cast<const char*>(block.data()), *got))) return true;
    offset += *got;
  }
}

bool CsvSetInMemory::read(const std::string& name, const std::function<bool(std::string_view)>& consume) const {
  const auto file = files_.find(name);
  if (file == files_.end()) return false;
  consume(file->second);
  return true;
}

core::Status checkFileList(const fs::path& folder) {
  if (!CsvSetFolder(folder).has(std::string(kFileListName))) return {core::Problem::FileListMissing};
  return {};
}

std::vector<ListedName> parseFileList(std::string_view text) {
  std::vector<ListedName> names;
  for (int number = 1; !text.empty(); ++number) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    const std::size_t first = line.find_first_not_of(" \t");
    line = withoutCarriageReturn(first == std::string_view::npos ? std::string_view() : line.substr(first));
    if (!line.empty()) names.push_back({std::string(line), number});
  }
  return names;
}

bool isDayFileName(std::string_view name) {
  if (name.size() != 12 || !allDigits(name.substr(0, 8)) || name.substr(8) != ".CSV") return false;
  const auto number = [&](std::size_t from, std::size_t count) {
    int value = 0;
    std::from_chars(name.data() + from, name.data() + from + count, value);
    return value;
  };
  const int year = number(0, 4);
  const int month = number(4, 2);
  const int day = number(6, 2);
  return month >= 1 && month <= 12 && day >= 1 && day <= core::daysInMonth(year, month);
}

std::string dayFileDate(std::string_view name) {
  const auto part = [&](std::size_t from, std::size_t count) {
    return from < name.size() ? name.substr(from, count) : std::string_view();
  };
  std::string date(part(0, 4));
  date.append("/").append(part(4, 2)).append("/").append(part(6, 2));
  return date;
}

PointTableText makePointTable(const CsvSetFiles& set, std::int32_t cellId) {
  const std::string listName(kFileListName);
  if (!set.has(listName)) return refused({core::Problem::FileListMissing});
  std::string listText;
  if (!readAll(set, listName, listText)) return refused({core::Problem::FileListUnreadable, set.shownName(listName)});
  const std::vector<ListedName> names = parseFileList(listText);
  if (names.empty()) return refused({core::Problem::FileListEmpty});
  for (const ListedName& listed : names) {
    if (!isDayFileName(listed.name)) {
      return refused(atLine(core::Problem::FileListLineInvalid, set.shownName(listName), listed.line));
    }
  }
  for (const ListedName& listed : names) {
    if (!set.has(listed.name)) return refused({core::Problem::DayFilesMissing});
  }
  if (cellId < 0) return refused({core::Problem::CellIdOutOfRange});

  PointTableText table;
  std::size_t fields = 0;
  for (std::size_t i = 0; i < names.size(); ++i) {
    const std::string shown = set.shownName(names[i].name);
    DayFileScan scan(std::int64_t{cellId} + 1, fields);
    if (!set.read(names[i].name, [&](std::string_view block) { return scan.consume(block); })) {
      return refused({core::Problem::DayFileUnreadable, shown});
    }
    scan.finish();
    if (scan.fault() != core::Problem::None) return refused(atLine(scan.fault(), shown, scan.faultLine()));
    if (!scan.found()) {
      return refused(i == 0 ? core::Status(core::Problem::CellIdOutOfRange)
                            : core::Status(core::Problem::DayFileTooShort, shown));
    }
    if (i == 0) {
      fields = scan.fields();
      table.text.append("DATE,").append(scan.header()).append(kLineEnd);
    }
    table.text.append(dayFileDate(names[i].name)).append(",").append(scan.line()).append(kLineEnd);
  }
  return table;
}

PointTableResult buildPointTable(const fs::path& folder, std::int32_t cellId) {
  const PointTableText table = makePointTable(CsvSetFolder(folder), cellId);
  if (!table.status) return refusal(table.status);
  PointTableResult result;
  result.path = folder / (std::to_string(cellId) + ".csv");
  CsvFileWriter out;
  if (core::Status s = out.open(result.path, result.path); !s) return refusal(s);
  out.append(table.text);
  if (core::Status s = out.finish(); !s) return refusal(s);
  return result;
}

PointTableResult buildPointTable(const fs::path& folder, std::string_view idAnswer) {
  const auto cellId = core::parseWholeNumber(idAnswer);
  if (!cellId) return refusal({core::Problem::CellIdNotWhole});
  return buildPointTable(folder, *cellId);
}

}  // namespace ombrix::exports
