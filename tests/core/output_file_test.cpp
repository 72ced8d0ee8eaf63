#include "core/output_file.h"

#include <gtest/gtest.h>

#include "core/messages.h"
#include "support/fault_injection.h"
#include "support/test_support.h"

namespace ombrix::core {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// Sequential and positioned bytes reach the target only on commit; an uncommitted, failed or
// refused write leaves the old target and no temporary file behind.
TEST(OutputFile, CommitsWholeFilesAndFailuresLeaveTheOldTarget) {
  test::TempDir dir;
  const fs::path target = dir / "out.RMD";
  test::writeText(target, "old");
  {
    OutputFile file;
    ASSERT_TRUE(file.open(target));
    ASSERT_TRUE(file.write("abc"));
    EXPECT_EQ(test::readText(target), "old");
  }  // dropped without commit
  EXPECT_EQ(test::namesIn(dir.path()), std::vector<std::string>{"out.RMD"});
  OutputFile file;
  ASSERT_TRUE(file.open(target));
  ASSERT_TRUE(file.write("ab"));
  ASSERT_TRUE(file.writeAt(4, Bytes{7}));
  ASSERT_TRUE(file.commit());
  EXPECT_EQ(test::readBytes(target), (Bytes{'a', 'b', 0, 0, 7}));

  const std::string failure = std::string(messages::kCannotWriteFile) + target.string();
  const test::ChildOutcome limited = test::runInChild(
      [&] {
        OutputFile big;
        if (!big.open(target)) return 1;
        for (int k = 0; k < 3; ++k) (void)big.write(Bytes(1 << 20, 1));
        return big.commit().message == failure ? 0 : 2;
      },
      test::fileSizeLimit(4096));
  EXPECT_EQ(limited.exitCode, 0) << "1: not opened, 2: not refused with " << failure;
  EXPECT_EQ(test::readBytes(target), (Bytes{'a', 'b', 0, 0, 7}));
  EXPECT_EQ(test::namesIn(dir.path()), std::vector<std::string>{"out.RMD"});

  test::writeText(dir / "plain-file", "x");
  EXPECT_EQ(file.open(dir / "plain-file" / "x.CSV").message,
            std::string(messages::kCannotCreateFile) + (dir / "plain-file" / "x.CSV").string());
}

}  // namespace
}  // namespace ombrix::core
