// ombrix-tool: the program's functions for scripts and end-to-end tests.
#include <exception>
#include <iostream>

#include "app/tool/tool_command.h"
#include "core/messages.h"

// The commands report what they refuse; this catches what nobody foresaw (memory exhausted, a
// library's exception), so that the tool still ends with a message and the refusal status.
int main(int argc, char** argv) {
  try {
    return ombrix::tool::runTool(argc, argv);
  } catch (const std::exception& error) {
    std::cerr << ombrix::messages::kUnexpectedError << error.what() << "\n";
  } catch (...) {
    std::cerr << ombrix::messages::kUnexpectedError << "\n";
  }
  return ombrix::tool::kExitRefused;
}
