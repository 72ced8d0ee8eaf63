// ombrix-tool: the program's functions for scripts and end-to-end tests.
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "app/tool/tool_command.h"
#include "core/messages.h"

namespace {
int printHelp(std::ostream& out) {
  out << "usage: ombrix-tool COMMAND [OPTIONS]\n\ncommands:\n";
  for (const auto& command : ombrix::tool::toolCommands()) out << "  ombrix-tool " << command.usage << "\n";
  return 0;
}

int run(int argc, char** argv) {
  if (argc < 2) {
    printHelp(std::cerr);
    return ombrix::tool::kExitUsage;
  }
  const std::string name = argv[1];
  if (name == "--help" || name == "-h" || name == "help") return printHelp(std::cout);
  const std::vector<std::string> words(argv + 2, argv + argc);
  for (const auto& command : ombrix::tool::toolCommands()) {
    if (command.name == name) return command.run(words);
  }
  std::cerr << "ombrix-tool: unknown command " << name << "\n";
  printHelp(std::cerr);
  return ombrix::tool::kExitUsage;
}
}  // namespace

// The commands report what they refuse; this catches what nobody foresaw (memory exhausted, a
// library's exception), so that the tool still ends with a message and the refusal status.
int main(int argc, char** argv) {
  try {
    return run(argc, argv);
  } catch (const std::exception& error) {
    std::cerr << ombrix::messages::kUnexpectedError << error.what() << "\n";
  } catch (...) {
    std::cerr << ombrix::messages::kUnexpectedError << "\n";
  }
  return ombrix::tool::kExitRefused;
}
