// A write that fails midway through a whole export (under a file size limit, in a child):
// the message names the set's folder and nothing of the set is left. The writer itself is
// tested in core/output_file_test.cpp.
#include <gtest/gtest.h>

#include "core/messages.h"
#include "export/period_export.h"
#include "support/fault_injection.h"
#include "support/sample_rmd.h"
#include "support/test_support.h"

namespace ombrix {
namespace {

TEST(FailingWrite, PeriodExportUnderAFileSizeLimitLeavesNothing) {
  test::TempDir dir;
  const auto rmd = dir / "Ka20057012005702.RMD";
  test::writeSampleRmd(rmd, test::sampleGrid(48, 30, 40), 24, test::dayStamps(2005, 7, 1, 2, 24),
                       [](int k, int c) { return static_cast<std::int16_t>((k * 3 + c) % 200); });
  const core::AnalysisConditions conditions = test::openedConditions(rmd);
  const std::string failure = std::string(messages::kCannotWriteFile) + (dir / "Ka2005070120050702").string();
  const test::ChildOutcome limited = test::runInChild(
      [&] { return exports::exportPeriod(conditions, conditions.areaName, 100).message.rfind(failure, 0) == 0 ? 0 : 1; },
      test::fileSizeLimit(4096));
  EXPECT_EQ(limited.exitCode, 0) << "not refused with " << failure;
  EXPECT_EQ(test::namesIn(dir.path()), std::vector<std::string>{"Ka20057012005702.RMD"});
}

}  // namespace
}  // namespace ombrix
