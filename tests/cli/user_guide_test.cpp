// The Japanese user guide quotes the program: every name it puts in 「」 must be a caption, a
// region or a message of the program, and every command line it shows must name a command of the
// batch tool with options that command has.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "cli_test_support.h"

namespace ombrix::test {
namespace {

const std::filesystem::path kSourceDir = std::filesystem::path(OMBRIX_DATA_DIR).parent_path();

std::string guide() { return readText(kSourceDir / "docs" / "guide-ja.md"); }

// The texts the program shows: the string literals of the windows, the regions and the messages.
std::string programTexts() {
  std::string texts = readText(kSourceDir / "core" / "messages.h") + readText(kSourceDir / "core" / "region_table.cpp");
  for (const auto& entry : std::filesystem::directory_iterator(kSourceDir / "ui")) {
    if (entry.path().extension() == ".cpp") texts += readText(entry.path());
  }
  return texts;
}

TEST(UserGuide, QuotesOnlyTheProgramsOwnCaptionsAndMessages) {
  const std::string text = guide();
  const std::string texts = programTexts();
  const std::regex quoted("「(.+?)」");
  int names = 0;
  for (std::sregex_iterator it(text.begin(), text.end(), quoted), end; it != end; ++it, ++names) {
    EXPECT_NE(texts.find('"' + (*it)[1].str() + '"'), std::string::npos) << "not a text of the program: " << (*it)[1];
  }
  EXPECT_GT(names, 40);
}

TEST(UserGuide, CommandLinesUseTheToolsCommandsAndOptions) {
  std::istringstream lines(std::regex_replace(guide(), std::regex("\\\\\n *"), " "));
  const std::regex commandLine(R"(^ombrix-tool ([a-z0-9-]+)(.*)$)");
  const std::regex option(R"((--[a-z0-9-]+))");
  std::set<std::string> commands;
  std::string line;
  while (std::getline(lines, line)) {
    std::smatch match;
    if (!std::regex_match(line, match, commandLine)) continue;
    const std::string command = match[1];
    commands.insert(command);
    const CommandResult help = tool(command + " --help");
    ASSERT_EQ(help.exitCode, 0) << "no command " << command;
    std::string rest = match[2];
    for (std::sregex_iterator it(rest.begin(), rest.end(), option), end; it != end; ++it) {
      EXPECT_TRUE(std::regex_search(help.out, std::regex(" " + (*it)[1].str() + "[ \n]")))
          << command << " has no option " << (*it)[1];
    }
  }
  EXPECT_GE(commands.size(), 8u);
}

}  // namespace
}  // namespace ombrix::test
