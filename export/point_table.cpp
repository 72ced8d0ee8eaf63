#include "export/point_table.h"

#include <fstream>
#include <utility>

#include "core/messages.h"
#include "core/number_text.h"
#include "export/csv_file_writer.h"

namespace ombrix::exports {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kChunkSize = std::size_t{1} << 20;

std::string withPath(std::string_view message, const fs::path& path) { return std::string(message) + path.string(); }

PointTableResult refusal(std::string message) {
  PointTableResult result;
  result.message = message;
  result.status = core::Status::failure(std::move(message));
  return result;
}

std::string_view withoutCarriageReturn(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

void dropCarriageReturn(std::string& line) {
  if (!line.empty() && line.back() == '\r') line.pop_back();
}

enum class LineRead { Found, FileEnded, Unreadable };

// Line number `wanted` (0 = the first) of a text file, without its line end. The file is read
// in large blocks and the line ends counted, so a far line of a large day file costs one pass.
LineRead readLine(const fs::path& path, std::int64_t wanted, std::string& line) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return LineRead::Unreadable;
  std::vector<char> chunk(kChunkSize);
  std::int64_t lineEnds = 0;
  bool inLine = wanted == 0;
  line.clear();
  while (in) {
    in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    const std::string_view block(chunk.data(), static_cast<std::size_t>(in.gcount()));
    std::size_t pos = 0;
    while (!inLine && pos < block.size()) {
      const std::size_t end = block.find('\n', pos);
      if (end == std::string_view::npos) {
        pos = block.size();
      } else {
        pos = end + 1;
        inLine = ++lineEnds == wanted;
      }
    }
    if (!inLine) continue;
    const std::size_t end = block.find('\n', pos);
    line.append(block.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos));
    if (end != std::string_view::npos) {
      dropCarriageReturn(line);
      return LineRead::Found;
    }
  }
  if (in.bad()) return LineRead::Unreadable;
  if (!inLine || line.empty()) return LineRead::FileEnded;
  dropCarriageReturn(line);
  return LineRead::Found;
}

// A day file lies in the set's folder: a listed name naming a path (an absolute one, or one
// through another folder) names no file of the set, and is never read.
bool isPlainFileName(std::string_view name) {
  return name.find('/') == std::string_view::npos && name != "." && name != "..";
}

std::string readWholeText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

core::Status checkFileList(const fs::path& folder) {
  std::error_code error;
  if (!fs::is_regular_file(folder / kFileListName, error)) {
    return core::Status::failure(std::string(messages::kFileListMissing));
  }
  return core::Status::success();
}

std::vector<std::string> parseFileList(std::string_view text) {
  std::vector<std::string> names;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    const std::size_t first = line.find_first_not_of(" \t");
    line = withoutCarriageReturn(first == std::string_view::npos ? std::string_view() : line.substr(first));
    if (!line.empty()) names.emplace_back(line);
  }
  return names;
}

std::string dayFileDate(std::string_view name) {
  const auto part = [&](std::size_t from, std::size_t count) {
    return from < name.size() ? name.substr(from, count) : std::string_view();
  };
  std::string date(part(0, 4));
  date.append("/").append(part(4, 2)).append("/").append(part(6, 2));
  return date;
}

PointTableResult buildPointTable(const fs::path& folder, std::int32_t cellId) {
  if (core::Status listed = checkFileList(folder); !listed) return refusal(listed.message);
  const std::vector<std::string> names = parseFileList(readWholeText(folder / kFileListName));
  if (names.empty()) return refusal(std::string(messages::kFileListEmpty));
  for (const std::string& name : names) {
    std::error_code error;
    if (!isPlainFileName(name) || !fs::is_regular_file(folder / name, error)) {
      return refusal(std::string(messages::kDayFilesMissing));
    }
  }
  if (cellId < 0) return refusal(std::string(messages::kCellIdOutOfRange));

  std::string header;
  switch (readLine(folder / names.front(), 0, header)) {
    case LineRead::Found:
      break;
    case LineRead::FileEnded:
      return refusal(withPath(messages::kDayFileTooShort, folder / names.front()));
    case LineRead::Unreadable:
      return refusal(withPath(messages::kDayFileUnreadable, folder / names.front()));
  }
  std::vector<std::string> lines;
  lines.reserve(names.size());
  for (std::size_t i = 0; i < names.size(); ++i) {
    const fs::path dayFile = folder / names[i];
    std::string& line = lines.emplace_back();
    switch (readLine(dayFile, std::int64_t{cellId} + 1, line)) {
      case LineRead::Found:
        break;
      case LineRead::FileEnded:
        return refusal(i == 0 ? std::string(messages::kCellIdOutOfRange)
                              : withPath(messages::kDayFileTooShort, dayFile));
      case LineRead::Unreadable:
        return refusal(withPath(messages::kDayFileUnreadable, dayFile));
    }
  }

  PointTableResult result;
  result.path = folder / (std::to_string(cellId) + ".csv");
  CsvFileWriter out;
  if (result.status = out.open(result.path, result.path); !result.status) return refusal(result.status.message);
  out.append("DATE,");
  out.appendLine(header);
  for (std::size_t i = 0; i < names.size(); ++i) {
    out.append(dayFileDate(names[i]));
    out.append(",");
    out.appendLine(lines[i]);
  }
  if (result.status = out.finish(); !result.status) return refusal(result.status.message);
  result.message = std::string(messages::kTableWrittenPrefix) + result.path.string() +
                   std::string(messages::kTableWrittenSuffix);
  return result;
}

PointTableResult buildPointTable(const fs::path& folder, std::string_view idAnswer) {
  const auto cellId = core::parseWholeNumber(idAnswer);
  if (!cellId) return refusal(std::string(messages::kCellIdNotWhole));
  return buildPointTable(folder, *cellId);
}

}  // namespace ombrix::exports
