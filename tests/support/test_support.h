#pragma once
// Helpers shared by the tests: real temporary directories and whole-file reads and writes.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace ombrix::test {

// A fresh directory under the system's temporary folder, removed with everything in it.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const noexcept { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

std::vector<std::uint8_t> readBytes(const std::filesystem::path& path);
std::string readText(const std::filesystem::path& path);
void writeBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);
void writeText(const std::filesystem::path& path, const std::string& text);
// Names in folder, hidden ones included, sorted.
std::vector<std::string> namesIn(const std::filesystem::path& folder);

// Runs a command line through the shell; returns its exit status and captures both streams.
struct CommandResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};
CommandResult runCommand(const std::string& commandLine);
// Quotes a path or word for the shell.
std::string shellQuote(const std::string& word);

}  // namespace ombrix::test
