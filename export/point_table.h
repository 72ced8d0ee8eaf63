#pragma once
// The rainfall table of one mesh cell from a CSV set: "DATE," and the first day file's header,
// then one line per listed day file with its date and the cell's line of that file. Every line
// read is checked, so a damaged set is refused with the file and line instead of giving a
// table with a broken row.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "core/problem.h"

namespace ombrix::exports {

inline constexpr std::string_view kFileListName = "FileList.txt";

// The files of a CSV set, by plain name: its folder on disk, or bytes in memory.
class CsvSetFiles {
 public:
  virtual ~CsvSetFiles() = default;
  virtual bool has(const std::string& name) const = 0;
  // Hands the file's bytes, from its start, block by block to consume until consume returns
  // false or the file ends. False when the file cannot be read.
  virtual bool read(const std::string& name, const std::function<bool(std::string_view)>& consume) const = 0;
  // How messages name the file.
  virtual std::string shownName(const std::string& name) const = 0;
};

// The set in a folder: day files are read in large blocks, only as far as the table needs.
class CsvSetFolder final : public CsvSetFiles {
 public:
  explicit CsvSetFolder(std::filesystem::path folder) : folder_(std::move(folder)) {}
  bool has(const std::string& name) const override;
  bool read(const std::string& name, const std::function<bool(std::string_view)>& consume) const override;
  std::string shownName(const std::string& name) const override { return (folder_ / name).string(); }

 private:
  std::filesystem::path folder_;
};

// A set held in memory, name -> contents.
class CsvSetInMemory final : public CsvSetFiles {
 public:
  explicit CsvSetInMemory(std::map<std::string, std::string, std::less<>> files) : files_(std::move(files)) {}
  bool has(const std::string& name) const override { return files_.contains(name); }
  bool read(const std::string& name, const std::function<bool(std::string_view)>& consume) const override;
  std::string shownName(const std::string& name) const override { return name; }

 private:
  std::map<std::string, std::string, std::less<>> files_;
};

// Whether folder holds "FileList.txt"; refused (FileListMissing) when it does not.
core::Status checkFileList(const std::filesystem::path& folder);

// The names of a list file's text with their line numbers (from 1), in order: leading blanks
// skipped, a trailing CR ignored, empty lines skipped.
struct ListedName {
  std::string name;
  int line = 0;
  bool operator==(const ListedName&) const = default;
};
std::vector<ListedName> parseFileList(std::string_view text);

// Whether a name is that of a day file: YYYYMMDD.CSV of a real date.
bool isDayFileName(std::string_view name);

// "2005/07/01" from "20050701.CSV".
std::string dayFileDate(std::string_view name);

struct PointTableText {
  core::Status status;
  std::string text;  // the table, every line ended by CR LF
};

// The table of cellId from the set. Refused when "FileList.txt" is missing or empty or has a
// line that is not a day file name, a listed day file is missing, the ID is negative or beyond
// the set's cells, or a line read does not match its file's header (fields, numbers, the ID
// of its position, a complete line end), naming the file and line.
PointTableText makePointTable(const CsvSetFiles& set, std::int32_t cellId);

struct PointTableResult {
  core::Status status;
  std::filesystem::path path;  // the table written
};

// Builds folder / (ID + ".csv") from the set in folder, with nothing written on a refusal. An
// existing table is replaced only once the new one is complete.
PointTableResult buildPointTable(const std::filesystem::path& folder, std::int32_t cellId);
// The same for the answer typed into the ID prompt, refused unless it is a whole number.
PointTableResult buildPointTable(const std::filesystem::path& folder, std::string_view idAnswer);

}  // namespace ombrix::exports
