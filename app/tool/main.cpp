// ombrix-tool: the program's functions for scripts and end-to-end tests.
#include <exception>

#include "app/tool/tool_command.h"
#include "core/output_file.h"

// The commands report what they refuse; this catches what nobody foresaw (memory exhausted, a
// library's exception), so that the tool still ends with a message and the refusal status.
int main(int argc, char** argv) {
  using ombrix::core::Problem;
  ombrix::core::ignoreFileSizeSignal();
  try {
    return ombrix::tool::runTool(argc, argv);
  } catch (const std::exception& error) {
    return ombrix::tool::refused({Problem::UnexpectedError, {}, {.reason = error.what()}});
  } catch (...) {
    return ombrix::tool::refused({Problem::UnexpectedError});
  }
}
