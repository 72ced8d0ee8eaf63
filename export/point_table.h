#pragma once
// The rainfall table of one mesh cell from a CSV set: "DATE," and the first day file's header,
// then one line per listed day file with its date and the cell's line of that file.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/status.h"

namespace ombrix::exports {

inline constexpr std::string_view kFileListName = "FileList.txt";

// Whether folder holds "FileList.txt"; refused with the user's message when it does not.
core::Status checkFileList(const std::filesystem::path& folder);

// The day-file names of a list file's text, in order: leading blanks skipped, a trailing CR
// ignored, empty lines skipped.
std::vector<std::string> parseFileList(std::string_view text);

// "2005/07/01" from "20050701.CSV".
std::string dayFileDate(std::string_view name);

struct PointTableResult {
  core::Status status;         // ok, or refused with the user's message
  std::filesystem::path path;  // the table written
  std::string message;         // what to tell the user: the refusal, or which file was written
};

// Builds folder / (ID + ".csv"). Refused, with nothing written, when the list is empty, a listed
// day file is missing, the ID is negative or beyond the set's cells, or a day file ends before
// the cell's line. An existing table is replaced only once the new one is complete.
PointTableResult buildPointTable(const std::filesystem::path& folder, std::int32_t cellId);
// The same for the answer typed into the ID prompt, refused unless it is a whole number.
PointTableResult buildPointTable(const std::filesystem::path& folder, std::string_view idAnswer);

}  // namespace ombrix::exports
