#include "export/point_table.h"

#include <gtest/gtest.h>

#include "core/messages.h"
#include "support/sample_rmd.h"

namespace ombrix::exports {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

// A set of three day files of two cells; the third day's header has other times.
void writeSet(const fs::path& dir) {
  test::writeText(dir / "FileList.txt", "20050701.CSV\r\n  20050702.CSV\r\n\r\n20050703.CSV");
  test::writeText(dir / "20050701.CSV", "ID,M,N,Keido,Ido,00:00,00:30\r\n0,0,0,139,36,1,2\r\n1,0,1,139.0125,36,3,4\r\n");
  test::writeText(dir / "20050702.CSV", "ID,M,N,Keido,Ido,00:00,00:30\r\n0,0,0,139,36,5,6\r\n1,0,1,139.0125,36,7,-1\r\n");
  test::writeText(dir / "20050703.CSV", "ID,M,N,Keido,Ido,01:00,01:30\r\n0,0,0,139,36,9,10\r\n1,0,1,139.0125,36,11,12\r\n");
}

TEST(PointTable, OneLinePerDayFileAfterTheFirstHeaderAndARebuildReplacesTheTable) {
  EXPECT_EQ(parseFileList("a.CSV\r\n \tb.CSV\n\r\n\nc.CSV"),
            (std::vector<ListedName>{{"a.CSV", 1}, {"b.CSV", 2}, {"c.CSV", 5}}));
  EXPECT_TRUE(parseFileList("\r\n  \r\n").empty());
  TempDir dir;
  writeSet(dir.path());
  ASSERT_TRUE(checkFileList(dir.path()));
  const PointTableResult result = buildPointTable(dir.path(), "1");
  ASSERT_TRUE(result.status) << result.status.message;
  EXPECT_EQ(result.path, dir / "1.csv");
  EXPECT_EQ(result.message, std::string(messages::kTableWrittenPrefix) + (dir / "1.csv").string() +
                                std::string(messages::kTableWrittenSuffix));
  EXPECT_EQ(test::readText(result.path),
            "DATE,ID,M,N,Keido,Ido,00:00,00:30\r\n"
            "2005/07/01,1,0,1,139.0125,36,3,4\r\n"
            "2005/07/02,1,0,1,139.0125,36,7,-1\r\n"
            "2005/07/03,1,0,1,139.0125,36,11,12\r\n");

  test::writeText(dir / "0.csv", "an older table");
  ASSERT_TRUE(buildPointTable(dir.path(), 0).status);
  ASSERT_TRUE(buildPointTable(dir.path(), 0).status);
  const auto lines = test::crlfLines(test::readText(dir / "0.csv"));
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[1], "2005/07/01,0,0,0,139,36,1,2");
  EXPECT_EQ(lines[3], "2005/07/03,0,0,0,139,36,9,10");
}

TEST(PointTable, RefusalsWriteNothing) {
  TempDir dir;
  EXPECT_EQ(checkFileList(dir.path()).message, messages::kFileListMissing);
  EXPECT_EQ(buildPointTable(dir.path(), 0).message, messages::kFileListMissing);

  writeSet(dir.path());
  EXPECT_EQ(buildPointTable(dir.path(), -1).message, messages::kCellIdOutOfRange);
  EXPECT_EQ(buildPointTable(dir.path(), 2).message, messages::kCellIdOutOfRange);
  EXPECT_EQ(buildPointTable(dir.path(), "1.5").message, messages::kCellIdNotWhole);
  EXPECT_EQ(buildPointTable(dir.path(), "").message, messages::kCellIdNotWhole);

  test::writeText(dir / "20050702.CSV", "ID,M,N,Keido,Ido,00:00,00:30\r\n0,0,0,139,36,5,6\r\n");
  EXPECT_EQ(buildPointTable(dir.path(), 1).message,
            std::string(messages::kDayFileTooShort) + (dir / "20050702.CSV").string());

  fs::remove(dir / "20050703.CSV");
  const PointTableResult missing = buildPointTable(dir.path(), 0);
  EXPECT_FALSE(missing.status);
  EXPECT_EQ(missing.message, messages::kDayFilesMissing);

  test::writeText(dir / "FileList.txt", "\r\n");
  EXPECT_EQ(buildPointTable(dir.path(), 0).message, messages::kFileListEmpty);
  EXPECT_FALSE(fs::exists(dir / "0.csv"));
  EXPECT_FALSE(fs::exists(dir / "1.csv"));
  EXPECT_FALSE(fs::exists(dir / "2.csv"));
}

// A damaged set is refused with the file and the line, whichever line read for cell 1 is
// damaged (a day file cut inside the cell's line used to give a short row reported as done).
TEST(PointTable, DamagedSetsAreRefusedNamingFileAndLine) {
  const std::string header = "ID,M,N,Keido,Ido,00:00,00:30\r\n";
  const std::string cell0 = "0,0,0,139,36,1,2\r\n";
  const std::string list = "20050701.CSV\r\n20050702.CSV\r\n";
  const auto at = [](std::string_view reason, std::string_view file, int line) {
    return std::string(reason) + std::string(file) + std::string(messages::kLineNumberPrefix) + std::to_string(line) +
           std::string(messages::kLineNumberSuffix);
  };
  struct Case {
    std::string list;
    std::string secondDay;
    std::string expected;
  };
  const Case cases[] = {
      {list, header + cell0 + "1,0,1,139.01", at(messages::kDayFileLineCut, "20050702.CSV", 3)},
      {list, header + cell0 + "1,0,1,139.0125,36,7,1", at(messages::kDayFileLineCut, "20050702.CSV", 3)},
      {list, header + cell0 + "1,0,1,139.0125,36,7,-\r\n", at(messages::kDayFileNotNumber, "20050702.CSV", 3)},
      {list, header + cell0 + "1,0,1,E139,36,7,8\r\n", at(messages::kDayFileNotNumber, "20050702.CSV", 3)},
      {list, header + "1,0,0,139,36,1,2\r\n", at(messages::kDayFileIdMismatch, "20050702.CSV", 2)},
      {list, header + "0,0,0,139,36,1\r\n", at(messages::kDayFileFieldCount, "20050702.CSV", 2)},
      {list, "ID,M,N,Keido,Ido,00:00\r\n" + cell0, at(messages::kDayFileHeaderInvalid, "20050702.CSV", 1)},
      {list, "0,0,0,139,36,1,2\r\n", at(messages::kDayFileHeaderInvalid, "20050702.CSV", 1)},
      {list + "\r\n notes.txt\r\n", header + cell0, at(messages::kFileListLineInvalid, "FileList.txt", 4)},
      {"20050230.CSV\r\n", header + cell0, at(messages::kFileListLineInvalid, "FileList.txt", 1)},
      // A listed path is no day file name, even when it names a day file outside the folder.
      {"20050701.CSV\r\n../other/20050702.CSV\r\n", header + cell0, at(messages::kFileListLineInvalid, "FileList.txt", 2)},
      {"20050701.CSV\r\n/set/20050702.CSV\r\n", header + cell0, at(messages::kFileListLineInvalid, "FileList.txt", 2)},
      {"20050701.CSV\r\n..\r\n", header + cell0, at(messages::kFileListLineInvalid, "FileList.txt", 2)},
  };
  for (const Case& c : cases) {
    const CsvSetInMemory set({{"FileList.txt", c.list},
                              {"20050701.CSV", header + cell0 + "1,0,1,139.0125,36,3,4\r\n"},
                              {"20050702.CSV", c.secondDay}});
    const PointTableText table = makePointTable(set, 1);
    EXPECT_EQ(table.status.message, c.expected) << c.secondDay;
    EXPECT_TRUE(table.text.empty());
  }
}

}  // namespace
}  // namespace ombrix::exports
