#pragma once
// Shared by the batch tool tests: ombrix-tool run as a user runs it, and how a refusal looks.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "support/test_support.h"

namespace ombrix::test {

inline CommandResult tool(const std::string& arguments) {
  return runCommand(shellQuote(std::string(OMBRIX_BIN_DIR) + "/ombrix-tool") + " " + arguments);
}

// Exit code 1 with exactly message on stderr.
inline void expectRefused(const CommandResult& run, std::string_view message) {
  EXPECT_EQ(run.exitCode, 1) << run.err;
  EXPECT_EQ(run.err, std::string(message) + "\n");
}

}  // namespace ombrix::test
