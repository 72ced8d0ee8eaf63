#pragma once
// The batch tool's commands and what they share. Each command has a file of its own with one
// function that declares the command's options on its CLI11 subcommand and returns what runs
// once they are parsed; command_table.cpp lists every command.
//
// Adding a command: write NAME_command.cpp with "CommandRun defineNAME(CLI::App& command)",
// declare it in command_table.h and give it a row in the table in command_table.cpp.
#include <CLI/CLI.hpp>

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "core/problem.h"

namespace ombrix::tool {

inline constexpr int kExitOk = 0;
inline constexpr int kExitRefused = 1;
inline constexpr int kExitUsage = 2;
// A long operation stopped by Ctrl-C (SIGINT), as a shell reports a program it ended: 128 + 2.
inline constexpr int kExitInterrupted = 130;

// Runs a command with the options parsed; returns the exit status.
using CommandRun = std::function<int()>;

struct ToolCommand {
  std::string_view name;
  std::string_view summary;  // one line, shown by "ombrix-tool --help"
  // Declares the options on command, bound to values the returned run reads. Null in a program
  // built without the command's file (see command_table.h).
  CommandRun (*define)(CLI::App& command);
};

// Parses the command line, runs the chosen command and returns the exit status. For a command
// this program is built without, runs the full tool on the same command line instead.
int runTool(int argc, const char* const* argv);

// Adds the preprocessed file a command works on, as its one positional argument.
CLI::Option* addRmdFileArgument(CLI::App& command, std::string& path);

// A command line the command cannot run, as the tool or its option parser words it.
core::Status usageProblem(std::string what);
// Prints the usage error for the command (its message, then where to read about the options) and
// returns kExitUsage.
int usageError(const CLI::App& command, const core::Status& status);
// Prints the user's message on standard error.
void report(const core::Status& status);
// Reports status and returns kExitRefused, or kExitInterrupted for an operation cancelled.
int refused(const core::Status& status);
// Whether target is there already and may not be replaced (no --force); then says so.
bool refusedAsExisting(const std::filesystem::path& target, bool force);

}  // namespace ombrix::tool
