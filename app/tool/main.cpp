// ombrix-tool: the program's functions for scripts and end-to-end tests.
#include "app/tool/tool_command.h"

int main(int argc, char** argv) { return ombrix::tool::runTool(argc, argv); }
