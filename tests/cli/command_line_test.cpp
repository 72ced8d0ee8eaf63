// The batch tool's exports and command line: "--option=value" beside "--option value", frames
// named by time, one way of writing ranges in every command, usage errors that say what is
// wrong, and render: the viewer's map of a frame, a sum or a maximum as a PNG file.
#include <gtest/gtest.h>

#include <sstream>

#include "core/byte_io.h"
#include "core/messages.h"
#include "tests/cli/cli_test_support.h"

namespace ombrix {
namespace {

namespace fs = std::filesystem;
using test::expectRefused;
using test::tool;

TEST(ExportCommands, FrameSumMaximumThenPeriodSetAndPointTable) {
  test::RainFile f;
  EXPECT_EQ(test::printedPath(tool("export-frame " + f.file + " --frame 1")), (f.dir / "Ka200507010030.CSV").string());
  EXPECT_EQ(f.line("Ka200507010030.CSV", 6), "5,1,2,139.025,35.99167,6");
  ASSERT_EQ(tool("export-sum " + f.file + " --from 0 --to 2").exitCode, 0);
  EXPECT_EQ(f.line("Ka200507010000200507010100-SUM.CSV", 1), "0,0,0,139,36,2");  // 0 + (no data) + 2
  ASSERT_EQ(tool("export-max " + f.file + " --from 0 --to 1").exitCode, 0);
  EXPECT_EQ(f.line("Ka200507010000200507010030-MAX.CSV", 1), "0,0,0,139,36,0");

  const fs::path folder = f.dir / "Ka2005070120050702";
  const auto period = tool("export-period " + f.file);
  EXPECT_EQ(test::printedPath(period), folder.string());
  EXPECT_EQ(period.err, std::string(messages::kCsvWritten) + "\n");
  expectRefused(tool("export-period " + f.file), std::string(messages::kExportTargetExists) + folder.string());
  const std::string set = test::shellQuote(folder.string());
  EXPECT_EQ(test::printedPath(tool("table " + set + " --id 4")), (folder / "4.csv").string());
  EXPECT_EQ(f.line("Ka2005070120050702/4.csv", 2).substr(0, 40), "2005/07/02,4,1,1,139.0125,35.99167,52,53");
  expectRefused(tool("table " + set + " --id 6"), messages::kCellIdOutOfRange);
}

TEST(CommandLine, EveryWayOfNamingTheSameFramesGivesTheSameOutputAndWrongOnesWriteNothing) {
  test::RainFile s;
  const std::string png = " --png " + test::shellQuote((s.dir / "map.png").string());
  // Ranges are one option set shared by export-sum and export-max, and by --sum and --max of render.
  const std::vector<std::vector<std::string>> sameOutputs = {
      {"export-frame " + s.file + " --frame 3", "export-frame --frame=2005-07-01T01:30 " + s.file},
      {"export-sum " + s.file + " --from 2 --to 50",
       "export-sum " + s.file + " --from 2005-07-01T01:00 --to=2005-07-02T01:00"},
      {"render " + s.file + " --sum 0:9" + png, "render " + s.file + " --sum=0:2005-07-01T04:30" + png,
       "render " + s.file + " --sum=2005-07-01T00:00:2005-07-01T04:30" + png,
       "render " + s.file + " --sum --from 0 --to=9 --png=" + test::shellQuote((s.dir / "map.png").string())},
  };
  for (const auto& forms : sameOutputs) {
    std::vector<std::vector<std::uint8_t>> outputs;
    for (const std::string& form : forms) {
      const std::string path = test::printedPath(tool(form));
      outputs.push_back(test::readBytes(path));
      fs::remove(path);
    }
    ASSERT_FALSE(outputs.front().empty()) << forms.front();
    for (std::size_t i = 1; i < forms.size(); ++i) EXPECT_EQ(outputs[i], outputs.front()) << forms[i];
  }

  // Frames the file does not have and usage errors write nothing.
  for (const std::string frames : {" --frame 96", " --frame 2005-07-03T00:00", " --frame=-1"}) {
    const auto run = tool("export-frame " + s.file + frames);
    EXPECT_EQ(run.exitCode, 1) << frames;
    EXPECT_EQ(run.err.find("一覧"), std::string::npos) << run.err;
  }
  const std::string archive = "preprocess --archive " + test::shellQuote(s.dir.path().string());
  const std::vector<std::pair<std::string, std::string>> usage = {
      {archive + " --region=Kantou --from 2005-01-01 --to 2005-01-01", "関東 (Ka)"},
      {archive + " --region Ka --from 2005-01-01", "--to"},
      {archive + " --region Ka --from 2005-1-01 --to 2005-01-01", "--from"},
      {archive + " --region 任意のエリア --from 2005-01-01 --to 2005-01-01", "--area"},
      {archive + " --region My --area 38.9,137.1,38.8 --from 2005-01-01 --to 2005-01-01", "--area"},
      {"export-sum " + s.file + " --from 0", "--to"},
      {"export-frame " + s.file + " --frame 2005-07-01T1:30", "--frame"},
      {"render " + s.file + " --sum --from 0 --png x.png", "--from and --to"},
      {"render " + s.file + " --frame 0 --to 3 --png x.png", "--from and --to"},
      {"table " + test::shellQuote(s.dir.path().string()), "--id"},
      {"info", "file"},
      {"export-frame " + s.file + " --frame 2005-13-01T00:00", "--frame"},
      {"export-frame " + s.file + " --frame 2005-02-30T00:00", "--frame"},
      {"series " + s.file + " --id -1", "a cell ID is a whole number from 0"},
  };
  for (const auto& [arguments, named] : usage) {
    const auto run = tool(arguments);
    EXPECT_EQ(run.exitCode, 2) << arguments;
    EXPECT_NE(run.err.find(named), std::string::npos) << arguments << ": " << run.err;
    EXPECT_LT(run.err.size(), 300u) << run.err;  // no bound of hundreds of digits
  }
  expectRefused(tool("export-netcdf " + s.file + " --from 20 --to 10"), messages::kTimesNotInOrder);
  expectRefused(tool("export-duration-max " + s.file + " --hours 49"),  // 97 frames of 96
                std::string(messages::kDurationLongerThanRange).append("49").append(messages::kDurationLongerSuffix));
  for (const char* command : {"--help", "render --help", "preprocess -h"}) {
    const auto help = tool(command);
    EXPECT_EQ(help.exitCode, 0) << command;
    EXPECT_NE(help.out.find("Usage: ombrix-tool"), std::string::npos) << command;
  }
  EXPECT_EQ(test::namesIn(s.dir.path()).size(), 1u);
}

// The tool copied into a folder of its own, with a 20 x 30 rain file, so that the test decides
// which jp.map lies beside the executable.
struct RenderSetup {
  test::TempDir dir;
  fs::path tool = dir / "ombrix-tool";
  std::string rmd = test::shellQuote((dir / "Ka20057012005701.RMD").string());
  RenderSetup() {
    fs::copy_file(fs::path(OMBRIX_BIN_DIR) / "ombrix-tool", tool);
    fs::copy_file(fs::path(OMBRIX_BIN_DIR) / "ombrix-tool-full", dir / "ombrix-tool-full");
    test::writeSampleRmd(dir / "Ka20057012005701.RMD", test::sampleGrid(48, 20, 30), 48,
                         test::dayStamps(2005, 7, 1, 1, 48),
                         [](int k, int c) { return static_cast<std::int16_t>((k * 37 + c * 11) % 900 - 1); });
  }
  test::CommandResult render(const std::string& map, const std::string& png, const std::string& extra = "") {
    return test::runCommand(test::shellQuote(tool.string()) + " render " + rmd + " " + map + " --png " +
                            test::shellQuote((dir / png).string()) + extra);
  }
};

std::uint32_t bigEndian(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return std::uint32_t{bytes[at]} << 24 | std::uint32_t{bytes[at + 1]} << 16 | std::uint32_t{bytes[at + 2]} << 8 |
         std::uint32_t{bytes[at + 3]};
}

TEST(RenderCommand, PicturesOfFramesSumsAndMaximaBesideTheCoastlineAndRefusalsThatLeaveAnOldOne) {
  RenderSetup s;
  for (const auto& [map, size, width, height] : std::vector<std::tuple<const char*, const char*, unsigned, unsigned>>{
           {"--frame 3", "", 689, 593}, {"--sum 0:47", "", 689, 593}, {"--max 2:9", " --size 40x30", 40, 30},
           {"--sum 0:47", " --legend --nodata grey", 689 + 260, 593}, {"--max 0:47", " --hours 3 --legend", 689 + 260, 593}}) {
    const auto result = s.render(map, "map.png", size);
    ASSERT_EQ(result.exitCode, 0) << map << ": " << result.err;
    EXPECT_EQ(result.out, (s.dir / "map.png").string() + "\n");
    const std::vector<std::uint8_t> png = test::readBytes(s.dir / "map.png");
    ASSERT_GT(png.size(), 24u);
    EXPECT_EQ((std::array{bigEndian(png, 0), bigEndian(png, 16), bigEndian(png, 20)}),
              (std::array{0x89504E47u, width, height}));
  }

  ASSERT_EQ(s.render("--frame 5", "plain.png").exitCode, 0);
  core::Bytes coast;  // one line straight across the grid
  for (const std::int32_t v : {1, 0, 0, 0, 0, 0, 2, 32, 138'000'000, 35'950'000, 140'000'000, 35'950'000}) {
    core::appendI32LE(coast, v);
  }
  test::writeBytes(s.dir / "jp.map", coast);
  ASSERT_EQ(s.render("--frame 5", "coast.png").exitCode, 0);
  ASSERT_EQ(s.render("--frame 5", "off.png", " --no-basemap").exitCode, 0);
  EXPECT_EQ(test::readBytes(s.dir / "plain.png"), test::readBytes(s.dir / "off.png"));
  ASSERT_EQ(s.render("--frame 5", "grey.png", " --no-basemap --nodata grey").exitCode, 0);  // cell 65 has no data
  EXPECT_NE(test::readBytes(s.dir / "grey.png"), test::readBytes(s.dir / "off.png"));
  EXPECT_NE(test::readBytes(s.dir / "coast.png"), test::readBytes(s.dir / "off.png"));

  // Refusals leave an existing picture alone.
  test::writeText(s.dir / "old.png", "old");
  test::expectRefused(s.render("--frame 48", "old.png"), std::string(messages::kFrameNumberNotInFile) + "48");
  test::expectRefused(s.render("--sum 4:4", "old.png"), messages::kChooseDifferentTimes);
  for (const char* usage : {"--frame 1 --sum 0:2", "--sum 3", "--frame 0 --size 0x10", "--frame 0 --nodata red",
                            "--sum 0:9 --hours 3"}) {
    EXPECT_EQ(s.render(usage, "old.png").exitCode, 2) << usage;
  }
  s.rmd = test::shellQuote((s.dir / "none.RMD").string());
  test::expectRefused(s.render("--frame 0", "old.png"), messages::kFileNotFound);
  EXPECT_EQ(test::readText(s.dir / "old.png"), "old");
  EXPECT_EQ(test::namesIn(s.dir.path()).size(), 10u);  // the two tools, the RMD file, jp.map and six pictures
}

// ombrix-tool leaves the format libraries to ombrix-tool-full, which it runs for their commands:
// every command listed still answers --help with its own options, and a copy of the tool
// without the full tool beside it says what is missing.
TEST(ToolStart, EveryCommandAnswersHelpAndOnlyTheFullToolLinksTheFormatLibraries) {
  const std::string list = tool("--help").out;
  const std::size_t at = list.find("Subcommands:");
  ASSERT_NE(at, std::string::npos) << list;
  std::vector<std::string> commands;
  std::istringstream lines(list.substr(at + 12));
  for (std::string name; lines >> name; lines.ignore(1000, '\n')) commands.push_back(name);
  EXPECT_EQ(commands.size(), 15u) << list;
  for (const std::string& command : commands) {
    const auto help = tool(command + " --help");
    EXPECT_EQ(help.exitCode, 0) << command;
    EXPECT_NE(help.out.find("Usage: ombrix-tool " + command + " [OPTIONS]"), std::string::npos) << help.out;
  }
  const fs::path bin(OMBRIX_BIN_DIR);
  const std::string light = test::runCommand("ldd " + test::shellQuote((bin / "ombrix-tool").string())).out;
  const std::string full = test::runCommand("ldd " + test::shellQuote((bin / "ombrix-tool-full").string())).out;
  for (const char* library : {"libgdal", "libnetcdf", "libhdf5", "libQt6"}) {
    EXPECT_EQ(light.find(library), std::string::npos) << library;
  }
  EXPECT_NE(full.find("libgdal"), std::string::npos);

  test::TempDir alone;
  fs::copy_file(bin / "ombrix-tool", alone / "ombrix-tool");
  const auto series = test::runCommand(test::shellQuote((alone / "ombrix-tool").string()) + " series --help");
  const std::string missing = (alone / "ombrix-tool-full").string() + ": No such file or directory";
  expectRefused(series, core::message({core::Problem::UnexpectedError, {}, {.reason = missing}}));
}

}  // namespace
}  // namespace ombrix
