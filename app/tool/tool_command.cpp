#include "app/tool/tool_command.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <utility>
#include <vector>

#include "app/tool/command_table.h"
#include "core/program_folder.h"

namespace ombrix::tool {

namespace {

constexpr const char* kProgram = "ombrix-tool";
// The complete tool, in the folder of this program's executable.
constexpr const char* kFullTool = "ombrix-tool-full";

// The program with one subcommand per row of the command table. A command this program is
// built without is listed by name and summary only: the full tool parses its options.
struct CommandLine {
  CLI::App app{"Runs one of Ombrix's functions on files, for scripts.", kProgram};
  std::vector<std::pair<CLI::App*, CommandRun>> commands;

  CommandLine() {
    app.require_subcommand(1);
    // As before, an option given twice keeps its last value.
    app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    for (const ToolCommand& command : commandTable()) {
      CLI::App* sub = app.add_subcommand(std::string(command.name), std::string(command.summary));
      if (command.define != nullptr) commands.emplace_back(sub, command.define(*sub));
    }
  }

  bool isCommand(std::string_view word) const {
    return std::any_of(commands.begin(), commands.end(), [&](const auto& c) { return c.first->get_name() == word; });
  }
};

// Whether the command the line names (its first word that is not an option) is one this
// program is built without.
bool namesCommandBuiltElsewhere(int argc, const char* const* argv) {
  const auto word = std::find_if(argv + 1, argv + argc, [](const char* w) { return w[0] != '-'; });
  if (word == argv + argc) return false;
  const auto table = commandTable();
  return std::any_of(table.begin(), table.end(),
                     [&](const ToolCommand& c) { return c.define == nullptr && c.name == *word; });
}

// Replaces this process with the full tool on the same command line; returns only when the full
// tool cannot be started, after saying so.
int runFullTool(const char* const* argv) {
  const std::string fullTool = (core::programFolder() / kFullTool).string();
  ::execv(fullTool.c_str(), const_cast<char* const*>(argv));
  return refused({core::Problem::UnexpectedError, {}, {.reason = fullTool + ": " + std::strerror(errno)}});
}

}  // namespace

int runTool(int argc, const char* const* argv) {
  if (namesCommandBuiltElsewhere(argc, argv)) return runFullTool(argv);
  CommandLine line;
  const std::string first = argc > 1 ? argv[1] : "";
  if (first.empty() || (first.front() != '-' && first != "help" && !line.isCommand(first))) {
    if (!first.empty()) std::cerr << kProgram << ": unknown command " << first << "\n";
    std::cerr << line.app.help();
    return kExitUsage;
  }
  if (first == "help") {
    std::cout << line.app.help();
    return kExitOk;
  }
  try {
    line.app.parse(argc, argv);
  } catch (const CLI::CallForHelp& help) {
    return line.app.exit(help);
  } catch (const CLI::ParseError& error) {
    const auto chosen = line.app.get_subcommands();
    return usageError(chosen.empty() ? line.app : *chosen.front(), usageProblem(error.what()));
  }
  for (const auto& [command, run] : line.commands) {
    if (command->parsed()) return run();
  }
  return kExitUsage;
}

CLI::Option* addRmdFileArgument(CLI::App& command, std::string& path) {
  return command.add_option("file", path, "preprocessed RMD file")->type_name("FILE.RMD")->required();
}

core::Status usageProblem(std::string what) { return {core::Problem::UsageError, {}, {.reason = std::move(what)}}; }

int usageError(const CLI::App& command, const core::Status& status) {
  const bool isProgram = command.get_parent() == nullptr;
  const std::string name = isProgram ? kProgram : std::string(kProgram) + " " + command.get_name();
  std::cerr << name << ": " << core::message(status) << "\nRun \"" << name << " --help\" for the options.\n";
  return kExitUsage;
}

void report(const core::Status& status) { std::cerr << core::message(status) << "\n"; }

int refused(const core::Status& status) {
  report(status);
  return status.problem == core::Problem::Cancelled ? kExitInterrupted : kExitRefused;
}

bool refusedAsExisting(const std::filesystem::path& target, bool force) {
  std::error_code error;
  if (force || !std::filesystem::exists(target, error)) return false;
  refused({core::Problem::OutputExists, target});
  return true;
}

}  // namespace ombrix::tool
