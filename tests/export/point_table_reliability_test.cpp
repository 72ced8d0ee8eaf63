// The point table reads only the day files of its own folder, whatever "FileList.txt" names:
// a listed path is no day file name.
#include <gtest/gtest.h>

#include "core/messages.h"
#include "export/point_table.h"
#include "support/test_support.h"

namespace ombrix::exports {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

TEST(PointTableReliability, ListedPathsOutsideTheFolderCountAsMissing) {
  TempDir dir;
  fs::create_directories(dir / "set");
  fs::create_directories(dir / "other");
  const std::string day = "ID,M,N,Keido,Ido,00:00\r\n0,0,0,139,36,7\r\n";
  test::writeText(dir / "set" / "20050701.CSV", day);
  test::writeText(dir / "other" / "20050702.CSV", day);
  for (const std::string& listed :
       std::vector<std::string>{"../other/20050702.CSV", (dir / "other" / "20050702.CSV").string(), ".."}) {
    test::writeText(dir / "set" / "FileList.txt", "20050701.CSV\r\n" + listed + "\r\n");
    const PointTableResult result = buildPointTable(dir / "set", std::int32_t{0});
    EXPECT_FALSE(result.status) << listed;
    EXPECT_EQ(result.message, std::string(messages::kFileListLineInvalid) + (dir / "set" / "FileList.txt").string() +
                                  std::string(messages::kLineNumberPrefix) + "2" +
                                  std::string(messages::kLineNumberSuffix))
        << listed;
    EXPECT_FALSE(fs::exists(dir / "set" / "0.csv")) << listed;
  }
}

}  // namespace
}  // namespace ombrix::exports
