// ombrix-tool make-sample and import-grib2, run as a user runs them.
#include <gtest/gtest.h>

#include "core/archive_calendar.h"
#include "import/grib2_import.h"
#include "import/grib2_message_builder.h"
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

// The scenario: the day imported in two runs, the second without the first run's
// files, ends as the file one run over all of them makes; a repeated file changes nothing.
TEST(ImportGrib2Command, TwoRunsOverHalvesOfADayMakeTheFileOfOneRun) {
  TempDir dir;
  std::vector<std::string> files;
  for (int j = 0; j < 4; ++j) {
    test::Grib2MessageSpec spec;
    spec.hour = j / 2;
    spec.minute = j % 2 * 30;
    spec.representative = {0, 4, static_cast<std::uint16_t>(20 + 10 * j)};
    spec.stream = test::encodeLevelRuns({0, 1, 2, 3, 3, 2, 1, 0, 3, 3, 3, static_cast<std::uint8_t>(j % 4)}, 3);
    const fs::path path = dir / "in" / ("Z__C_RJTD_" + std::to_string(j) + std::string(import::kGrib2RainfallSuffix));
    fs::create_directories(path.parent_path());
    test::writeBytes(path, test::buildGrib2Message(spec));
    files.push_back(shellQuote(path.string()));
  }
  const auto import = [&](const std::string& archive, const std::string& inputs) {
    return tool("import-grib2 --utc --archive " + shellQuote((dir / archive).string()) + " " + inputs);
  };
  ASSERT_EQ(import("once", shellQuote((dir / "in").string())).exitCode, 0);
  ASSERT_EQ(import("parts", files[1] + " " + files[3]).exitCode, 0);
  const auto second = import("parts", files[0] + " " + files[2]);
  EXPECT_EQ(second.exitCode, 0) << second.err;
  const std::string day = core::archiveFilePath((dir / "parts").string(), 2020, 7, 7);
  EXPECT_EQ(test::readBytes(day), test::readBytes(core::archiveFilePath((dir / "once").string(), 2020, 7, 7)));
  EXPECT_EQ(second.err, std::string(messages::kImportSummaryDays) + "1\n" +
                            std::string(messages::kImportSummaryImported) + "2\n" +
                            std::string(messages::kImportSummaryMissing) + day + " 02:00-23:30\n");

  const auto again = import("parts", files[0]);
  EXPECT_EQ(again.exitCode, 0) << again.err;
  EXPECT_EQ(again.out, "");
  EXPECT_NE(again.err.find(std::string(messages::kImportSummaryIdentical) + "1\n"), std::string::npos) << again.err;
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
