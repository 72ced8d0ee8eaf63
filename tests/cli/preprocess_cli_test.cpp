// ombrix-tool preprocess and info, run as a user runs them, on archives made with the encoder.
#include <gtest/gtest.h>

#include "core/archive_calendar.h"
#include "core/messages.h"
#include "core/rap_encoder.h"
#include "support/test_support.h"
#include "tests/cli/cli_test_support.h"

namespace ombrix {
namespace {

namespace fs = std::filesystem;
using test::TempDir;
using test::tool;
using test::expectRefused;

// A 40 x 30 half-hourly grid from 137 E, 39 N; the day files of 1 and 2 January 2005, the
// second one eight records short.
struct CliArchive {
  TempDir dir;
  const core::GridDescription grid{39000000, 137000000, 31250, 20833, 40, 30};

  CliArchive() {
    writeDay(1, 48);
    writeDay(2, 40);
  }
  void writeDay(int day, int count) const {
    std::vector<core::ArchiveRecord> records;
    for (int j = 0; j < count; ++j) {
      records.push_back({{2005, 1, static_cast<std::uint8_t>(day), static_cast<std::uint8_t>(j / 2),
                              static_cast<std::uint8_t>(j % 2 * 30)},
                             std::vector<std::int16_t>(grid.cellCount(), static_cast<std::int16_t>(j))});
    }
    const fs::path path = core::archiveFilePath(dir.path().string(), 2005, 1, day);
    fs::create_directories(path.parent_path());
    EXPECT_TRUE(core::writeArchiveFile(path, grid, records));
  }
  std::string archiveOption() const { return "--archive " + test::shellQuote(dir.path().string() + "/"); }
  std::string rmd(const std::string& name) const { return (dir / name).string(); }
};

TEST(PreprocessCommand, WritesTheFileNamedForRegionAndPeriod) {
  CliArchive archive;
  const auto run = tool("preprocess " + archive.archiveOption() + " --region 関東 --from 2005-01-01 --to 2005-01-02");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::string path = archive.rmd("Ka20051012005102.RMD");
  EXPECT_EQ(run.out, path + "\n");
  EXPECT_NE(run.err.find(messages::kPreprocessingDone), std::string::npos);

  const auto info = tool("info " + test::shellQuote(path));
  ASSERT_EQ(info.exitCode, 0) << info.err;
  for (const char* line : {"frames:          96\n", "rows x columns:  30 x 40\n", "west longitude:  137 (137000000)\n",
                           "first frame:     2005-01-01 00:00\n", "last frame:      0000-00-00 00:00\n",
                           "empty frames:    8 (88-95)\n"}) {
    EXPECT_NE(info.out.find(line), std::string::npos) << line << info.out;
  }
}

TEST(PreprocessCommand, AnExistingFileIsReplacedOnlyWithForce) {
  CliArchive archive;
  const std::string path = archive.rmd("Ka20051012005101.RMD");
  test::writeText(path, "keep");
  const std::string command = "preprocess " + archive.archiveOption() + " --region Ka --from 2005-01-01 --to 2005-01-01";
  const auto refused = tool(command);
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_EQ(refused.err, std::string(messages::kOutputExists) + path + "\n");
  EXPECT_EQ(test::readText(path), "keep");

  const auto forced = tool(command + " --force");
  ASSERT_EQ(forced.exitCode, 0) << forced.err;
  EXPECT_EQ(forced.out, path + "\n");
  EXPECT_EQ(fs::file_size(path), 28u + 10 * 48 * 48 + 47 * 4 * 1200 + 2 * 1200);
}

TEST(PreprocessCommand, TheUserAreaNeedsItsCorners) {
  CliArchive archive;
  const std::string base = "preprocess " + archive.archiveOption() + " --from 2005-01-01 --to 2005-01-01";
  EXPECT_EQ(tool(base + " --region 任意のエリア").exitCode, 2);
  EXPECT_EQ(tool(base + " --region My --area 38.9,137.1,38.8").exitCode, 2);
  const auto run = tool(base + " --region My --area 38.9,137.1,38.8,137.2");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, archive.rmd("My20051012005101.RMD") + "\n");
}

TEST(PreprocessCommand, RejectedPeriodsAndUsageErrors) {
  CliArchive archive;
  const std::string base = "preprocess " + archive.archiveOption() + " --region 関東";
  expectRefused(tool(base + " --from 2005-01-02 --to 2005-01-01"), messages::kEndBeforeStart);
  expectRefused(tool(base + " --from 2005-01-01 --to 2005-01-03"), messages::kMissingFile);
  EXPECT_EQ(tool(base + " --from 2005-01-01").exitCode, 2);
  EXPECT_EQ(tool(base + " --from 2005-1-01 --to 2005-01-01").exitCode, 2);
  EXPECT_EQ(tool(base + " --from 2005-13-01 --to 2005-01-01").exitCode, 2);
  EXPECT_EQ(tool("preprocess " + archive.archiveOption() + " --region Kanto --from 2005-01-01 --to 2005-01-01").exitCode,
            2);
  EXPECT_EQ(std::distance(fs::directory_iterator(archive.dir.path()), {}), 1);  // only the year folder
}

TEST(InfoCommand, RefusesWhatIsNotAPreprocessedFile) {
  TempDir dir;
  test::writeText(dir / "short.RMD", "too short");
  const auto run = tool("info " + test::shellQuote((dir / "short.RMD").string()));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err, std::string(messages::kNotRmdFile) + (dir / "short.RMD").string() + "\n");
  EXPECT_EQ(tool("info").exitCode, 2);
}

}  // namespace
}  // namespace ombrix
