#pragma once
// The batch tool's commands. Each command file registers one ToolCommand with a static
// ToolCommandRegistration, so main() needs no list of them.
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "core/status.h"

namespace ombrix::tool {

inline constexpr int kExitOk = 0;
inline constexpr int kExitRefused = 1;
inline constexpr int kExitUsage = 2;

// Command-line words after the command name: "--name value" options, "--flag" switches and
// positional words.
class ToolArguments {
 public:
  // valueOptions take a value; flagOptions do not. Anything else starting with "--" is an error.
  bool parse(const std::vector<std::string>& words, const std::set<std::string>& valueOptions,
             const std::set<std::string>& flagOptions);
  const std::string& error() const noexcept { return error_; }
  std::optional<std::string> value(const std::string& name) const;
  bool flag(const std::string& name) const { return flags_.count(name) != 0; }
  const std::vector<std::string>& positional() const noexcept { return positional_; }

 private:
  std::map<std::string, std::string> values_;
  std::set<std::string> flags_;
  std::vector<std::string> positional_;
  std::string error_;
};

struct ToolCommand {
  std::string name;
  std::string usage;  // one line, shown by "ombrix-tool --help" and on usage errors
  std::function<int(const std::vector<std::string>& words)> run;
};

const std::vector<ToolCommand>& toolCommands();

struct ToolCommandRegistration {
  explicit ToolCommandRegistration(ToolCommand command);
};

// Prints a usage error for the command and returns kExitUsage.
int usageError(const std::string& command, const std::string& detail);
// Prints the user's message on standard error and returns kExitRefused.
int refused(const core::Status& status);
int refused(std::string_view message);

// A progress bar on standard error, drawn only when standard error is a terminal.
class TerminalProgress {
 public:
  explicit TerminalProgress(std::string label);
  ~TerminalProgress();
  void update(double fraction);

 private:
  std::string label_;
  bool enabled_;
  int lastDrawn_ = -1;
};

}  // namespace ombrix::tool
