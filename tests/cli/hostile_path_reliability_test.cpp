// Paths a user may have: folders with spaces, Japanese characters and components close to 255
// bytes work end to end through the tool.
#include <gtest/gtest.h>

#include "support/reliability_inputs.h"
#include "support/sample_rmd.h"
#include "support/test_support.h"
#include "tests/cli/cli_test_support.h"

namespace ombrix {
namespace {

namespace fs = std::filesystem;
using test::TempDir;
using test::tool;

// " 長長…長" of 247 bytes: a folder name near the 255-byte limit of a path component.
std::string longJapaneseName() {
  std::string name = " ";
  for (int k = 0; k < 82; ++k) name += "長";
  return name;
}

TEST(HostilePaths, SpacesJapaneseAndLongFolderNamesEndToEnd) {
  TempDir dir;
  const fs::path archive = dir / "レーダー アメダス 2005" / longJapaneseName();
  ASSERT_EQ(archive.filename().string().size(), 247u);
  test::writeArchiveDays(archive, test::reliabilityGrid(16, 12), 1);

  const auto preprocess = tool("preprocess --archive " + test::shellQuote(archive.string()) +
                               " --region AJ --from 2005-07-01 --to 2005-07-01");
  ASSERT_EQ(preprocess.exitCode, 0) << preprocess.err;
  const fs::path rmd = archive / "AJ20057012005701.RMD";
  EXPECT_EQ(preprocess.out, rmd.string() + "\n");

  const auto period = tool("export-period " + test::shellQuote(rmd.string()));
  ASSERT_EQ(period.exitCode, 0) << period.err;
  const fs::path set = archive / "AJ2005070120050701";
  ASSERT_EQ(period.out, set.string() + "\n");
  EXPECT_TRUE(fs::is_regular_file(set / "20050701.CSV"));

  const auto table = tool("table " + test::shellQuote(set.string()) + " --id 191");
  ASSERT_EQ(table.exitCode, 0) << table.err;
  const auto lines = test::crlfLines(test::readText(set / "191.csv"));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1].rfind("2005/07/01,191,11,15,", 0), 0u) << lines[1];

  const auto frame = tool("export-frame " + test::shellQuote(rmd.string()) + " --frame 47");
  ASSERT_EQ(frame.exitCode, 0) << frame.err;
  EXPECT_TRUE(fs::is_regular_file(archive / "AJ200507012330.CSV"));
}

}  // namespace
}  // namespace ombrix
