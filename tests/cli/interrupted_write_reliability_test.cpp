// Interrupted writes: the batch tool killed with SIGKILL while it writes leaves no target (or
// the old one, byte for byte) and nothing that the file dialogs would list.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/fault_injection.h"
#include "support/reliability_inputs.h"
#include "support/sample_rmd.h"
#include "support/test_support.h"

namespace ombrix {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

// Whether folder holds a hidden temporary file that has grown to more than `bytes`.
bool temporaryFileLarger(const fs::path& folder, std::uintmax_t bytes) {
  for (const std::string& name : test::namesIn(folder)) {
    struct stat info {};
    if (name.front() == '.' && test::endsWith(name, ".part") && ::stat((folder / name).c_str(), &info) == 0 &&
        S_ISREG(info.st_mode) && static_cast<std::uintmax_t>(info.st_size) > bytes) {
      return true;
    }
  }
  return false;
}

// Whether folder holds a hidden temporary folder in which a finished day file has appeared.
bool temporaryFolderHasDayFile(const fs::path& folder) {
  for (const std::string& name : test::namesIn(folder)) {
    if (name.front() != '.' || !test::endsWith(name, ".part")) continue;
    for (const std::string& inner : test::namesIn(folder / name)) {
      if (test::endsWith(inner, ".CSV") && inner.front() != '.') return true;
    }
  }
  return false;
}

// The names in folder that a file list with the given suffix would show.
std::vector<std::string> listed(const fs::path& folder, const std::string& suffix) {
  std::vector<std::string> names;
  for (const std::string& name : test::namesIn(folder)) {
    if (test::endsWith(name, suffix)) names.push_back(name);
  }
  return names;
}

struct KilledPreprocessing : ::testing::Test {
  TempDir archive;
  fs::path target = archive / "AJ20057012005703.RMD";
  void SetUp() override { test::writeArchiveDays(archive.path(), test::reliabilityGrid(384, 256), 3); }
  test::ChildOutcome runAndKill(bool force) {
    std::vector<std::string> words{"preprocess", "--archive", archive.path().string(), "--region", "AJ",
                                   "--from",     "2005-07-01", "--to",  "2005-07-03"};
    if (force) words.push_back("--force");
    // Killed once frames are being written into the temporary file.
    return test::killWhen(test::startTool(words), [&] { return temporaryFileLarger(archive.path(), 0); });
  }
};

TEST_F(KilledPreprocessing, LeavesNoTargetAndNothingListedAsRmd) {
  const test::ChildOutcome outcome = runAndKill(false);
  ASSERT_EQ(outcome.signal, SIGKILL) << "the run ended before it could be interrupted";
  EXPECT_FALSE(fs::exists(target));
  EXPECT_TRUE(listed(archive.path(), ".RMD").empty());
}

TEST_F(KilledPreprocessing, LeavesAnExistingTargetUnchanged) {
  test::writeText(target, "the file of an earlier run");
  const test::ChildOutcome outcome = runAndKill(true);
  ASSERT_EQ(outcome.signal, SIGKILL) << "the run ended before it could be interrupted";
  EXPECT_EQ(test::readText(target), "the file of an earlier run");
  EXPECT_EQ(listed(archive.path(), ".RMD"), std::vector<std::string>{target.filename().string()});
}

TEST(KilledPeriodExport, LeavesNoExportFolderAndNoCsvFile) {
  TempDir dir;
  const fs::path rmd = dir / "Ka20057012005706.RMD";
  test::writeSampleRmd(rmd, test::sampleGrid(144, 100, 120), 24, test::dayStamps(2005, 7, 1, 6, 24),
                       [](int k, int c) { return static_cast<std::int16_t>((k + c) % 300); });
  const pid_t pid = test::startTool({"export-period", rmd.string()});
  const test::ChildOutcome outcome = test::killWhen(pid, [&] { return temporaryFolderHasDayFile(dir.path()); });
  ASSERT_EQ(outcome.signal, SIGKILL) << "the export ended before it could be interrupted";
  EXPECT_FALSE(fs::exists(dir / "Ka2005070120050706"));
  for (const std::string& name : test::namesIn(dir.path())) {
    EXPECT_TRUE(name == rmd.filename().string() || name.front() == '.') << name;
  }
  EXPECT_TRUE(listed(dir.path(), ".CSV").empty());
}

TEST(KilledPointTable, LeavesTheEarlierTableUnchanged) {
  TempDir set;
  test::writeCsvSet(set.path(), 31, 40000);
  test::writeText(set / "0.csv", "the table of an earlier run");
  const pid_t pid = test::startTool({"table", set.path().string(), "--id", "0"});
  const test::ChildOutcome outcome = test::killWhen(pid, [&] { return temporaryFileLarger(set.path(), 0); });
  ASSERT_EQ(outcome.signal, SIGKILL) << "the table was finished before it could be interrupted";
  EXPECT_EQ(test::readText(set / "0.csv"), "the table of an earlier run");
  EXPECT_EQ(listed(set.path(), ".csv"), std::vector<std::string>{"0.csv"});
}

}  // namespace
}  // namespace ombrix
