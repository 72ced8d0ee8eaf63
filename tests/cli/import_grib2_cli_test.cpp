// ombrix-tool make-sample and import-grib2, run as a user runs them.
#include <gtest/gtest.h>

#include "core/archive_calendar.h"
#include "core/messages.h"
#include "support/test_support.h"
#include "tests/cli/cli_test_support.h"

namespace ombrix {
namespace {

namespace fs = std::filesystem;
using test::shellQuote;
using test::TempDir;
using test::tool;

const std::string kRealName = "Z__C_RJTD_20210817090000_SRF_GPV_Ggis1km_Prr60lv_ANAL_grib2.bin";

TEST(ImportGrib2Command, ImportsWhatItCanAndNamesWhatItSkipped) {
  TempDir dir;
  fs::create_directories(dir / "in" / "2021");
  fs::copy_file(fs::path(OMBRIX_DATA_DIR) / kRealName, dir / "in" / "2021" / kRealName);
  const fs::path broken = dir / "in" / "Z__C_RJTD_20210817093000_SRF_GPV_Ggis1km_Prr60lv_ANAL_grib2.bin";
  test::writeText(broken, "GRIB");
  const auto run = tool("import-grib2 --archive " + shellQuote((dir / "archive").string()) + " " +
                        shellQuote((dir / "in").string()));
  EXPECT_EQ(run.exitCode, 0) << run.err;
  const std::string day = core::archiveFilePath((dir / "archive").string(), 2021, 8, 17);
  EXPECT_EQ(run.out, day + "\n");
  EXPECT_TRUE(fs::exists(day));
  EXPECT_NE(run.err.find(std::string(messages::kNotGrib2Rainfall) + broken.string()), std::string::npos) << run.err;
}

TEST(ImportGrib2Command, RefusesWhenNoDayCanBeWritten) {
  TempDir dir;
  test::writeText(dir / "a_SRF_GPV_Ggis1km_Prr60lv_ANAL_grib2.bin", "not rainfall");
  auto run = tool("import-grib2 --archive " + shellQuote((dir / "archive").string()) + " " +
                  shellQuote(dir.path().string()));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find(std::string(messages::kGrib2NoDayWritten)), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists(dir / "archive"));
  run = tool("import-grib2 --archive " + shellQuote((dir / "archive").string()) + " " +
             shellQuote((dir / "empty-folder-that-is-not-there").string()));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find(std::string(messages::kGrib2InputMissing)), std::string::npos) << run.err;
  EXPECT_EQ(tool("import-grib2 --archive " + shellQuote(dir.path().string())).exitCode, 2);
}

TEST(MakeSampleCommand, BuildsTheSampleFromTheFieldsBesideTheExecutable) {
  TempDir dir;
  const auto run = tool("make-sample --archive " + shellQuote((dir / "sample").string()));
  ASSERT_EQ(run.exitCode, 0) << run.err;
  for (int day = 1; day <= 3; ++day) {
    EXPECT_TRUE(fs::exists(core::archiveFilePath((dir / "sample").string(), 2005, 7, day))) << day;
  }
  EXPECT_EQ(tool("make-sample --archive " + shellQuote((dir / "other").string()) + " --data " +
                 shellQuote(dir.path().string()))
                .exitCode,
            1);
}

}  // namespace
}  // namespace ombrix
