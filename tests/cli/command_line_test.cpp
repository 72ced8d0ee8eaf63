// The batch tool's command line: "--option=value" beside "--option value", frames named by time,
// one way of writing ranges in every command, and usage errors that say what is wrong.
#include <gtest/gtest.h>

#include "core/messages.h"
#include "support/sample_rmd.h"
#include "support/test_support.h"
#include "tests/cli/cli_test_support.h"

namespace ombrix {
namespace {

namespace fs = std::filesystem;
using test::tool;

// Two half-hourly days of a 2 x 3 grid; cell c of frame k holds k + c.
struct RainFile {
  test::TempDir dir;
  fs::path rmd = dir / "Ka20057012005702.RMD";
  std::string file = test::shellQuote(rmd.string());
  RainFile() {
    test::writeSampleRmd(rmd, test::sampleGrid(96, 2, 3), 48, test::dayStamps(2005, 7, 1, 2, 48),
                         [](int k, int c) { return static_cast<std::int16_t>(k + c); });
  }
  // The bytes of the file a successful run printed the path of.
  std::vector<std::uint8_t> output(const std::string& arguments) {
    const auto run = tool(arguments);
    EXPECT_EQ(run.exitCode, 0) << arguments << ": " << run.err;
    if (run.exitCode != 0 || run.out.empty()) return {};
    const fs::path path = run.out.substr(0, run.out.size() - 1);
    std::vector<std::uint8_t> bytes = test::readBytes(path);
    fs::remove(path);
    return bytes;
  }
};

TEST(CommandLine, EveryWayOfNamingTheSameFramesGivesTheSameOutput) {
  RainFile s;
  const std::string png = " --png " + test::shellQuote((s.dir / "map.png").string());
  const std::vector<std::vector<std::string>> sameOutputs = {
      {"export-frame " + s.file + " --frame 3", "export-frame --frame=3 " + s.file,
       "export-frame " + s.file + " --frame 2005-07-01T01:30", "export-frame " + s.file + " --frame=2005-07-01T01:30"},
      {"export-sum " + s.file + " --from 2 --to 50", "export-sum " + s.file + " --from=2 --to=2005-07-02T01:00",
       "export-sum " + s.file + " --from 2005-07-01T01:00 --to 50"},
      {"export-max " + s.file + " --from 0 --to 5", "export-max " + s.file + " --to=5 --from=2005-07-01T00:00"},
      {"render " + s.file + " --sum 0:9" + png, "render " + s.file + " --sum=0:2005-07-01T04:30" + png,
       "render " + s.file + " --sum=2005-07-01T00:00:2005-07-01T04:30" + png,
       "render " + s.file + " --sum --from 0 --to=9 --png=" + test::shellQuote((s.dir / "map.png").string())},
      {"render " + s.file + " --max 1:4" + png, "render " + s.file + " --max --from 1 --to 2005-07-01T02:00" + png},
  };
  for (const auto& forms : sameOutputs) {
    const std::vector<std::uint8_t> expected = s.output(forms.front());
    ASSERT_FALSE(expected.empty()) << forms.front();
    for (std::size_t i = 1; i < forms.size(); ++i) EXPECT_EQ(s.output(forms[i]), expected) << forms[i];
  }
}

TEST(CommandLine, FramesTheFileDoesNotHaveAreRefusedByNumberAndByTime) {
  RainFile s;
  for (const std::string frames : {" --frame 96", " --frame 2005-07-03T00:00", " --frame=-1"}) {
    const auto run = tool("export-frame " + s.file + frames);
    EXPECT_EQ(run.exitCode, 1) << frames;
    EXPECT_EQ(run.err.find("一覧"), std::string::npos) << run.err;
  }
  test::expectRefused(tool("export-sum " + s.file + " --from 2005-07-01T00:00 --to 2005-07-03T00:00"),
                      std::string(messages::kNoFrameAtTime) + "2005-07-03T00:00" +
                          std::string(messages::kFileTimesOpen) + "2005-07-01T00:00～2005-07-02T23:30" +
                          std::string(messages::kFileTimesClose));
  test::expectRefused(tool("export-max " + s.file + " --from=96 --to=97"),
                      std::string(messages::kFrameNumberNotInFile) + "96");
  EXPECT_EQ(std::distance(fs::directory_iterator(s.dir.path()), {}), 1);
}

TEST(CommandLine, UsageErrorsSayWhatIsMissingOrWrong) {
  RainFile s;
  const std::string archive = "preprocess --archive " + test::shellQuote(s.dir.path().string());
  const std::vector<std::pair<std::string, std::string>> cases = {
      {archive + " --region=Kantou --from 2005-01-01 --to 2005-01-01", "関東 (Ka)"},
      {archive + " --region Ka --from 2005-01-01", "--to"},
      {"export-sum " + s.file + " --from 0", "--to"},
      {"export-frame " + s.file + " --frame 2005-07-01T1:30", "--frame"},
      {"render " + s.file + " --sum --from 0 --png x.png", "--from and --to"},
      {"render " + s.file + " --frame 0 --to 3 --png x.png", "--from and --to"},
      {"info", "file"},
  };
  for (const auto& [arguments, named] : cases) {
    const auto run = tool(arguments);
    EXPECT_EQ(run.exitCode, 2) << arguments;
    EXPECT_NE(run.err.find(named), std::string::npos) << arguments << ": " << run.err;
  }
  for (const char* command : {"--help", "render --help", "preprocess -h"}) {
    const auto help = tool(command);
    EXPECT_EQ(help.exitCode, 0) << command;
    EXPECT_NE(help.out.find("Usage: ombrix-tool"), std::string::npos) << command;
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(s.dir.path()), {}), 1);
}

}  // namespace
}  // namespace ombrix
