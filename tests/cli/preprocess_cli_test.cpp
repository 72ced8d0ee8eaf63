// ombrix-tool preprocess and info, run as a user runs them, on archives made with the encoder.
#include <gtest/gtest.h>

#include "core/messages.h"
#include "support/reliability_inputs.h"
#include "support/test_support.h"
#include "tests/cli/cli_test_support.h"

namespace ombrix {
namespace {

namespace fs = std::filesystem;
using test::expectRefused;
using test::tool;

// A 40 x 30 half-hourly grid from 137 E, 39 N; the day files of 1 and 2 January 2005, the
// second one eight records short.
struct CliArchive {
  test::TempDir dir;
  CliArchive() {
    const core::GridDescription grid{39000000, 137000000, 31250, 20833, 40, 30};
    for (const auto& [day, count] : {std::pair{1, 48}, {2, 40}}) {
      test::writeArchiveDay(dir.path(), grid, 2005, 1, day, count,
                            [](int j, std::size_t) { return static_cast<std::int16_t>(j); });
    }
  }
  std::string preprocess(const std::string& options) const {
    return "preprocess --archive " + test::shellQuote(dir.path().string() + "/") + " " + options;
  }
  std::string rmd(const std::string& name) const { return (dir / name).string(); }
};

TEST(PreprocessCommand, WritesTheFileNamedForRegionAndPeriodAndInfoDescribesIt) {
  CliArchive archive;
  const auto run = tool(archive.preprocess("--region 関東 --from 2005-01-01 --to 2005-01-02"));
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::string path = archive.rmd("Ka20051012005102.RMD");
  EXPECT_EQ(run.out, path + "\n");
  EXPECT_NE(run.err.find(messages::kPreprocessingDone), std::string::npos);
  const auto info = tool("info " + test::shellQuote(path));
  ASSERT_EQ(info.exitCode, 0) << info.err;
  for (const char* line : {"frames:          96\n", "rows x columns:  30 x 40\n", "empty frames:    8 (88-95)\n"}) {
    EXPECT_NE(info.out.find(line), std::string::npos) << line << info.out;
  }
  test::writeText(archive.dir / "short.RMD", "too short");
  expectRefused(tool("info " + test::shellQuote(archive.rmd("short.RMD"))),
                std::string(messages::kNotRmdFile) + archive.rmd("short.RMD"));
}

TEST(PreprocessCommand, AnExistingFileIsReplacedOnlyWithForce) {
  CliArchive archive;
  const std::string path = archive.rmd("Ka20051012005101.RMD");
  test::writeText(path, "keep");
  const std::string command = archive.preprocess("--region Ka --from 2005-01-01 --to 2005-01-01");
  expectRefused(tool(command), std::string(messages::kOutputExists) + path);
  EXPECT_EQ(test::readText(path), "keep");
  const auto forced = tool(command + " --force");
  ASSERT_EQ(forced.exitCode, 0) << forced.err;
  EXPECT_EQ(fs::file_size(path), 28u + 10 * 48 * 48 + 47 * 4 * 1200 + 2 * 1200);
  const auto user = tool(archive.preprocess("--from 2005-01-01 --to 2005-01-01 --region My --area 38.9,137.1,38.8,137.2"));
  ASSERT_EQ(user.exitCode, 0) << user.err;
  EXPECT_EQ(user.out, archive.rmd("My20051012005101.RMD") + "\n");
}

TEST(PreprocessCommand, RejectedPeriodsAndUsageErrorsWriteNothing) {
  CliArchive archive;
  expectRefused(tool(archive.preprocess("--region 関東 --from 2005-01-02 --to 2005-01-01")), messages::kEndBeforeStart);
  expectRefused(tool(archive.preprocess("--region 関東 --from 2005-01-01 --to 2005-01-03")), messages::kMissingFile);
  for (const char* usage : {"--region 関東 --from 2005-01-01", "--region 関東 --from 2005-1-01 --to 2005-01-01",
                            "--region 関東 --from 2005-13-01 --to 2005-01-01", "--region Kanto --from 2005-01-01 --to 2005-01-01",
                            "--region 任意のエリア --from 2005-01-01 --to 2005-01-01",
                            "--region My --area 38.9,137.1,38.8 --from 2005-01-01 --to 2005-01-01"}) {
    EXPECT_EQ(tool(archive.preprocess(usage)).exitCode, 2) << usage;
  }
  EXPECT_EQ(test::namesIn(archive.dir.path()), std::vector<std::string>{"2005"});
  EXPECT_EQ(tool("info").exitCode, 2);
}

}  // namespace
}  // namespace ombrix
