// Failing writes: preprocessing, both CSV exports and the point table, in a child that cannot
// write (an unprivileged user facing a read-only folder) or whose files are limited in size.
// Each reports its message with the path and leaves nothing half-written: no new target, an
// existing one unchanged, no temporary file.
#include <gtest/gtest.h>

#include "core/messages.h"
#include "core/preprocess_run.h"
#include "export/current_display_export.h"
#include "export/period_export.h"
#include "export/point_table.h"
#include "support/fault_injection.h"
#include "support/reliability_inputs.h"
#include "support/sample_rmd.h"
#include "support/test_support.h"
#include "viewer/frame_loading.h"

namespace ombrix {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

constexpr rlim_t kSmallFiles = 4096;
const std::string kEarlier = "written by an earlier run";

std::string startOf(std::string_view message) { return std::string(message); }

// Every name under folder, at any depth.
std::vector<std::string> allNames(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    names.push_back(fs::relative(entry.path(), folder).string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// What attempt reports, run as an unprivileged user while folder is read-only.
template <typename Attempt>
std::string whileReadOnly(const fs::path& folder, Attempt attempt) {
  test::makeReadOnlyFolder(folder);
  std::string message = attempt(test::becomeNobody);
  test::makeWritableAgain(folder);
  return message;
}

struct FailingPreprocessing : ::testing::Test {
  TempDir archive;
  fs::path target = archive / "AJ20057012005701.RMD";
  core::AnalysisConditions conditions;
  void SetUp() override {
    test::writeArchiveDays(archive.path(), test::reliabilityGrid(64, 48), 1);
    conditions.archiveFiles = {core::archiveFilePath(archive.path().string(), 2005, 7, 1)};
    conditions.archiveFileCount = 1;
    conditions.periodYear = {2005, 2005};
    conditions.periodMonth = {7, 7};
    conditions.periodDay = {1, 1};
    conditions.areaWestLon = 128'000'000;
    conditions.areaEastLon = 129'000'000;
    conditions.areaNorthLat = 46'000'000;
    conditions.areaSouthLat = 45'500'000;
  }
  std::string run(const std::function<void()>& setup) {
    return test::textFromChild([&] { return core::runPreprocessing(conditions, target).status.message; }, setup);
  }
};

TEST_F(FailingPreprocessing, ReadOnlyArchiveFolder) {
  const auto before = allNames(archive.path());
  EXPECT_EQ(whileReadOnly(archive.path(), [&](auto setup) { return run(setup); }),
            startOf(messages::kCannotCreateFile) + target.string());
  EXPECT_EQ(allNames(archive.path()), before);
}

TEST_F(FailingPreprocessing, FileSizeLimit) {
  test::writeText(target, kEarlier);
  const auto before = allNames(archive.path());
  EXPECT_EQ(run(test::fileSizeLimit(kSmallFiles)), startOf(messages::kCannotWriteFile) + target.string());
  EXPECT_EQ(test::readText(target), kEarlier);
  EXPECT_EQ(allNames(archive.path()), before);
}

// An opened RMD file of two hourly days of 40 x 30 cells, and frame 0 shown.
struct FailingExports : ::testing::Test {
  TempDir dir;
  fs::path rmd = dir / "Ka20057012005702.RMD";
  core::AnalysisConditions conditions;
  void SetUp() override {
    test::writeSampleRmd(rmd, test::sampleGrid(48, 30, 40), 24, test::dayStamps(2005, 7, 1, 2, 24),
                         [](int k, int c) { return static_cast<std::int16_t>((k * 3 + c) % 200); });
    conditions = test::openedConditions(rmd);
    std::vector<std::int16_t> frame;
    ASSERT_TRUE(viewer::showFrame(conditions, 0, frame));
  }
  std::string periodExport(const std::function<void()>& setup) {
    return test::textFromChild([&] { return exports::exportPeriod(conditions, conditions.areaName, 100).message; },
                               setup);
  }
  std::string currentExport(const std::function<void()>& setup) {
    return test::textFromChild(
        [&] { return exports::exportCurrentDisplay(conditions, conditions.areaName).status.message; }, setup);
  }
  fs::path shownCsv() const { return exports::currentDisplayPath(conditions, conditions.areaName); }
  fs::path periodFolder() const { return dir / "Ka2005070120050702"; }
};

TEST_F(FailingExports, ReadOnlyFolder) {
  const auto before = allNames(dir.path());
  EXPECT_EQ(whileReadOnly(dir.path(), [&](auto setup) { return periodExport(setup); }),
            startOf(messages::kCannotCreateFolder) + periodFolder().string());
  EXPECT_EQ(whileReadOnly(dir.path(), [&](auto setup) { return currentExport(setup); }),
            startOf(messages::kCannotCreateFile) + shownCsv().string());
  EXPECT_EQ(allNames(dir.path()), before);
}

TEST_F(FailingExports, FileSizeLimit) {
  test::writeText(shownCsv(), kEarlier);
  const auto before = allNames(dir.path());
  const std::string period = periodExport(test::fileSizeLimit(kSmallFiles));
  EXPECT_EQ(period.rfind(startOf(messages::kCannotWriteFile) + periodFolder().string(), 0), 0u) << period;
  EXPECT_EQ(currentExport(test::fileSizeLimit(kSmallFiles)), startOf(messages::kCannotWriteFile) + shownCsv().string());
  EXPECT_EQ(test::readText(shownCsv()), kEarlier);
  EXPECT_EQ(allNames(dir.path()), before);
}

struct FailingPointTable : ::testing::Test {
  TempDir set;
  fs::path table = set / "0.csv";
  void SetUp() override { test::writeCsvSet(set.path(), 3, 2000); }
  std::string build(const std::function<void()>& setup) {
    return test::textFromChild([&] { return exports::buildPointTable(set.path(), std::int32_t{0}).message; }, setup);
  }
};

TEST_F(FailingPointTable, ReadOnlyFolder) {
  const auto before = allNames(set.path());
  EXPECT_EQ(whileReadOnly(set.path(), [&](auto setup) { return build(setup); }),
            startOf(messages::kCannotCreateFile) + table.string());
  EXPECT_EQ(allNames(set.path()), before);
}

TEST_F(FailingPointTable, FileSizeLimit) {
  test::writeText(table, kEarlier);
  const auto before = allNames(set.path());
  EXPECT_EQ(build(test::fileSizeLimit(kSmallFiles)), startOf(messages::kCannotWriteFile) + table.string());
  EXPECT_EQ(test::readText(table), kEarlier);
  EXPECT_EQ(allNames(set.path()), before);
}

}  // namespace
}  // namespace ombrix
