// The CSV exports: the whole period, the current display, and the point table of a set.
#include "export/period_export.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/messages.h"
#include "core/number_text.h"
#include "export/csv_number_format.h"
#include "export/current_display_export.h"
#include "export/point_table.h"
#include "support/sample_rmd.h"

namespace ombrix::exports {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

std::ptrdiff_t commas(const std::string& line) { return std::count(line.begin(), line.end(), ','); }

// An RMD file in dir with the given days; cell c of frame k holds 100 k + c.
fs::path sampleFile(const fs::path& dir, int year, int month, int day, int frames, int perDay, int rows, int cols,
                    const std::vector<int>& empty = {}) {
  const fs::path path = dir / "Ka.RMD";
  test::writeSampleRmd(path, test::sampleGrid(frames, rows, cols), perDay,
                       test::dayStamps(year, month, day, (frames + perDay - 1) / perDay, perDay),
                       [](int k, int c) { return static_cast<std::int16_t>(100 * k + c); }, empty);
  return path;
}

struct Recorded {
  std::vector<std::string> calls;
  core::OperationCallbacks callbacks() {
    return {[this] { calls.push_back("yield"); },
            [this](std::int64_t w, std::int64_t) { calls.push_back(std::to_string(w)); }, {}};
  }
};

TEST(PeriodExport, TwoHalfHourlyDaysOfATwoCellGridWithFramesWithoutData) {
  TempDir dir;
  const auto c = test::openedConditions(sampleFile(dir.path(), 2005, 7, 1, 96, 48, 1, 2, {0, 49}));
  Recorded recorded;
  const PeriodExportResult result = exportPeriod(c.openFileDataset(), "関東", 4095, recorded.callbacks());
  ASSERT_TRUE(result.status) << message(result.status);
  EXPECT_EQ(result.folder, dir / "Ka2005070120050702");
  // step = 4095 x 48 / 96 = 2047.5, to the even 2048
  EXPECT_EQ(recorded.calls, (std::vector<std::string>{"yield", "0", "yield", "2048", "yield", "4095"}));
  EXPECT_EQ(test::namesIn(result.folder), (std::vector<std::string>{"20050701.CSV", "20050702.CSV", "FileList.txt"}));
  EXPECT_EQ(test::readText(result.folder / "FileList.txt"), "20050701.CSV\r\n20050702.CSV\r\n");

  const auto lines = test::crlfLines(test::readText(result.folder / "20050702.CSV"));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(commas(lines[0]), 4 + 48);
  EXPECT_EQ(lines[0].substr(0, 34), "ID,M,N,Keido,Ido,00:00,00:30,01:00");
  EXPECT_TRUE(lines[0].ends_with(",23:30")) << lines[0];
  EXPECT_EQ(lines[2].substr(0, 31), "1,0,1,139.0125,36,4801,-1,5001,");
  EXPECT_TRUE(lines[2].ends_with(",9501")) << lines[2];
  EXPECT_EQ(test::crlfLines(test::readText(result.folder / "20050701.CSV"))[1].substr(0, 23), "0,0,0,139,36,-1,100,200");

  EXPECT_EQ(std::pair(result.periodLabel, result.halfHourly),
            (std::pair<std::string, std::optional<std::uint8_t>>("2005070120050702", 1)));
}

// A file of one cell, frame k holding 100 k; the file list, the header's commas of the first day
// and the last value of its line.
TEST(PeriodExport, FramesPerDayFollowFrameZerosDateAndOnlyWholeDaysAreWritten) {
  struct Case {
    int year, month, day, frames, perDay;
    std::string folder, list;
    std::ptrdiff_t commas;
    const char* last;
  };
  for (const Case& c : {Case{2003, 6, 1, 48, 48, "My2003060120030601", "20030601.CSV\r\n", 52, "4700"},
                        Case{2003, 5, 31, 48, 24, "My2003053120030532", "20030531.CSV\r\n20030532.CSV\r\n", 28, "2300"},
                        // one whole day: frames 24 to 29 are left out, the folder is named by the file
                        Case{2002, 1, 9, 30, 24, "My2002010920020110", "20020109.CSV\r\n", 28, "2300"},
                        Case{2004, 1, 1, 20, 48, "My2004010120040101", "", 0, ""}}) {  // less than a day
    TempDir dir;
    const auto path = sampleFile(dir.path(), c.year, c.month, c.day, c.frames, c.perDay, 1, 1);
    const auto result = exportPeriod(test::openedConditions(path).openFileDataset(), "", 100);
    ASSERT_TRUE(result.status) << message(result.status);
    EXPECT_EQ(result.folder.filename(), c.folder);
    EXPECT_EQ(result.halfHourly, c.perDay == 48 ? 1 : 0);
    EXPECT_EQ(test::readText(result.folder / "FileList.txt"), c.list);
    EXPECT_EQ(test::namesIn(result.folder).size(), 1 + std::count(c.list.begin(), c.list.end(), '\n'));  // and no more
    if (c.commas == 0) continue;
    const auto lines = test::crlfLines(test::readText(result.folder / c.list.substr(0, 12)));
    EXPECT_EQ(commas(lines[0]), c.commas);
    EXPECT_TRUE(lines[1].ends_with(std::string(",") + c.last)) << lines[1];
  }
}

TEST(PeriodExport, AnExistingNameOrARepeatedDateIsRefusedAndLeftAlone) {
  TempDir dir;
  const auto c = test::openedConditions(sampleFile(dir.path(), 2005, 7, 1, 48, 48, 1, 2));
  ASSERT_TRUE(exportPeriod(c.openFileDataset(), "関東", 100).status);
  test::writeText(dir / "Ka2005070120050701" / "note.txt", "mine");
  Recorded recorded;
  const auto again = exportPeriod(c.openFileDataset(), "関東", 100, recorded.callbacks());
  EXPECT_FALSE(again.status);
  EXPECT_EQ(message(again.status), std::string(messages::kExportTargetExists) + (dir / "Ka2005070120050701").string());
  EXPECT_TRUE(recorded.calls.empty());
  EXPECT_EQ(test::namesIn(dir / "Ka2005070120050701"),
            (std::vector<std::string>{"20050701.CSV", "FileList.txt", "note.txt"}));
  // A plain file of that name counts as taken too.
  test::writeText(dir / "Ch2005070120050701", "");
  EXPECT_FALSE(exportPeriod(c.openFileDataset(), "中国・四国", 100).status);
  EXPECT_EQ(test::namesIn(dir.path()), (std::vector<std::string>{"Ch2005070120050701", "Ka.RMD", "Ka2005070120050701"}));

  // Two days of the same date are refused before anything is written.
  TempDir sameDates;
  const fs::path path = sameDates / "Ky.RMD";
  auto stamps = test::dayStamps(2001, 7, 1, 1, 24);  // hourly: two blocks of 24, both 2001-07-01
  const auto firstDay = stamps;
  stamps.insert(stamps.end(), firstDay.begin(), firstDay.end());
  test::writeSampleRmd(path, test::sampleGrid(48, 1, 2), 24, stamps, [](int k, int) { return static_cast<std::int16_t>(k); });
  const auto repeated = exportPeriod(test::openedConditions(path).openFileDataset(), "九州", 100);
  EXPECT_FALSE(repeated.status);
  EXPECT_EQ(message(repeated.status), std::string(messages::kRepeatedDayDate) + "20010701.CSV");
  EXPECT_EQ(test::namesIn(sameDates.path()), (std::vector<std::string>{"Ky.RMD"}));
}

TEST(PeriodExport, FailuresAndNoOpenFileLeaveNothingBehind) {
  TempDir dir;
  auto c = test::openedConditions(sampleFile(dir.path(), 2005, 7, 1, 96, 48, 1, 2));
  // A folder that cannot be created (works also for root): the RMD folder is a plain file.
  test::writeText(dir / "plain-file", "x");
  const core::RmdDataset unwritable(dir / "plain-file" / "Ka.RMD", c.openFileDataset().contents());
  const auto refused = exportPeriod(unwritable, "関東", 100);
  EXPECT_FALSE(refused.status);
  EXPECT_EQ(message(refused.status),
            std::string(messages::kCannotCreateFolder) + (dir / "plain-file" / "Ka2005070120050702").string());

  // The second day's frames lie beyond the end of a truncated file.
  fs::resize_file(dir / "Ka.RMD", static_cast<std::uintmax_t>(c.file.index()[60].frameOffset));
  Recorded recorded;
  const auto truncated = exportPeriod(c.openFileDataset(), "関東", 100, recorded.callbacks());
  EXPECT_FALSE(truncated.status);
  EXPECT_EQ(message(truncated.status), std::string(messages::kRmdFileTruncated) + (dir / "Ka.RMD").string());
  EXPECT_EQ(recorded.calls, (std::vector<std::string>{"yield", "0", "yield", "50"}));

  c.closeFile();
  const auto noFile = exportPeriod(c.openFileDataset(), "関東", 100);
  EXPECT_EQ(noFile.status.problem, core::Problem::NoFramesOpen);
  EXPECT_TRUE(message(noFile.status).empty());
  EXPECT_EQ(test::namesIn(dir.path()), (std::vector<std::string>{"Ka.RMD", "plain-file"}));
}

// A 3 x 4 grid at 139 E, 36 N with a shown map whose cell ID holds ID - 1.
core::AnalysisConditions shownMap(const std::filesystem::path& dir, int rows = 3, int cols = 4) {
  core::AnalysisConditions c;
  c.openRmdDir = dir.string();
  core::RmdHeader header;
  header.gridRows = static_cast<std::int16_t>(rows);
  header.gridCols = static_cast<std::int16_t>(cols);
  header.fileWestLon = 139'000'000;
  header.fileNorthLat = 36'000'000;
  header.cellLonStep = 12'500;
  header.cellLatStep = 8'333;
  c.file = core::RmdDataset(dir / "Ka.RMD", {header, {{{2005, 7, 1, 12, 30}, 0}}});
  for (int id = 0; id < rows * cols; ++id) c.rainGrid.push_back(static_cast<std::int16_t>(id - 1));
  c.frameLabel = "200507011230";
  return c;
}

TEST(CsvNumbers, SinglePrecisionCoordinatesAndSignedValues) {
  // The 関東 window of the 2.5 km grid: 137 E, 39 N, steps of 31250 and 20833 microdegrees.
  EXPECT_EQ(core::formatSingle(cellLongitude(137'000'000, 31'250, 7)), "137.2188");
  EXPECT_EQ(core::formatSingle(cellLongitude(137'000'000, 31'250, 144)), "141.5");
  EXPECT_EQ(core::formatSingle(cellLatitude(39'000'000, 20'833, 1)), "38.97917");
  EXPECT_EQ(core::formatSingle(cellLatitude(39'000'000, 20'833, 240)), "34.00008");
  char buffer[32];
  for (const auto& [value, text] : std::vector<std::pair<std::int16_t, std::string>>{
           {0, ",0"}, {-1, ",-1"}, {139, ",139"}, {-32768, ",-32768"}, {32767, ",32767"}}) {
    EXPECT_EQ(std::string(buffer, writeCommaValue(buffer, value)), text);
  }
  EXPECT_EQ(std::string(buffer, writeInteger(buffer, 1234567890123)), "1234567890123");
}

TEST(CurrentDisplayExport, OneLinePerCellInIdOrderUnderTheAreaCodeAndNothingWhenNothingIsShown) {
  TempDir dir;
  const CurrentDisplayResult result = exportCurrentDisplay(shownMap(dir.path()).shownMap(), "関東");
  ASSERT_TRUE(result.status) << message(result.status);
  EXPECT_EQ(result.path, dir / "Ka200507011230.CSV");
  const auto lines = test::crlfLines(test::readText(result.path));
  ASSERT_EQ(lines.size(), 13u);
  EXPECT_EQ(lines[0], "ID,M,N,Keido,Ido,Value");
  EXPECT_EQ(lines[1], "0,0,0,139,36,-1");
  EXPECT_EQ(lines[10], "9,2,1,139.0125,35.98333,8");
  EXPECT_EQ(lines[12], "11,2,3,139.0375,35.98333,10");

  // A one-cell sum; areas without a code of their own are My, and an earlier longer file is replaced.
  auto c = shownMap(dir.path(), 1, 1);
  c.rainGrid = {139};
  c.frameLabel = "200507010000200507012330-SUM";
  ASSERT_TRUE(exportCurrentDisplay(c.shownMap(), "全国").status);
  EXPECT_EQ(test::readText(dir / "AJ200507010000200507012330-SUM.CSV"), "ID,M,N,Keido,Ido,Value\r\n0,0,0,139,36,139\r\n");
  test::writeText(dir / "My200507011230.CSV", "old text that is longer than the new file will be ..........");
  c.rainGrid = {0};
  c.frameLabel = "200507011230";
  for (const char* area : {"任意のエリア", "", "関東 "}) {
    ASSERT_TRUE(exportCurrentDisplay(c.shownMap(), area).status);
  }
  EXPECT_EQ(test::readText(dir / "My200507011230.CSV"), "ID,M,N,Keido,Ido,Value\r\n0,0,0,139,36,0\r\n");
  EXPECT_EQ(test::namesIn(dir.path()).size(), 3u);

  // Nothing shown, or a folder that is a plain file, writes nothing.
  c.frameLabel.clear();
  const CurrentDisplayResult nothing = exportCurrentDisplay(c.shownMap(), "関東");
  EXPECT_EQ(nothing.status.problem, core::Problem::NoMapShown);
  EXPECT_TRUE(message(nothing.status).empty());
  EXPECT_EQ(test::namesIn(dir.path()).size(), 3u);
  test::writeText(dir / "plain-file", "x");
  const CurrentDisplayResult failed = exportCurrentDisplay(shownMap(dir / "plain-file").shownMap(), "関東");
  EXPECT_FALSE(failed.status);
  EXPECT_EQ(message(failed.status),
            std::string(messages::kCannotCreateFile) + (dir / "plain-file" / "Ka200507011230.CSV").string() +
                std::string(messages::kReasonPrefix) + "Not a directory" + std::string(messages::kReasonSuffix));
}

// A set of three day files of two cells; the third day's header has other times.
void writeSet(const fs::path& dir) {
  test::writeText(dir / "FileList.txt", "20050701.CSV\r\n  20050702.CSV\r\n\r\n20050703.CSV");
  test::writeText(dir / "20050701.CSV", "ID,M,N,Keido,Ido,00:00,00:30\r\n0,0,0,139,36,1,2\r\n1,0,1,139.0125,36,3,4\r\n");
  test::writeText(dir / "20050702.CSV", "ID,M,N,Keido,Ido,00:00,00:30\r\n0,0,0,139,36,5,6\r\n1,0,1,139.0125,36,7,-1\r\n");
  test::writeText(dir / "20050703.CSV", "ID,M,N,Keido,Ido,01:00,01:30\r\n0,0,0,139,36,9,10\r\n1,0,1,139.0125,36,11,12\r\n");
}

TEST(PointTable, OneLinePerDayFileAfterTheFirstHeaderARebuildReplacesTheTableAndRefusalsKeepIt) {
  EXPECT_EQ(parseFileList("a.CSV\r\n \tb.CSV\n\r\n\nc.CSV"),
            (std::vector<ListedName>{{"a.CSV", 1}, {"b.CSV", 2}, {"c.CSV", 5}}));
  EXPECT_TRUE(parseFileList("\r\n  \r\n").empty());
  TempDir dir;
  writeSet(dir.path());
  ASSERT_TRUE(checkFileList(dir.path()));
  const PointTableResult result = buildPointTable(dir.path(), "1");
  ASSERT_TRUE(result.status) << message(result.status);
  EXPECT_EQ(result.path, dir / "1.csv");
  EXPECT_EQ(message(core::Notice::PointTableWritten, result.path),
            std::string(messages::kTableWrittenPrefix) + (dir / "1.csv").string() + std::string(messages::kTableWrittenSuffix));
  const std::string table = test::readText(result.path);
  EXPECT_EQ(table,
            "DATE,ID,M,N,Keido,Ido,00:00,00:30\r\n"
            "2005/07/01,1,0,1,139.0125,36,3,4\r\n"
            "2005/07/02,1,0,1,139.0125,36,7,-1\r\n"
            "2005/07/03,1,0,1,139.0125,36,11,12\r\n");

  test::writeText(dir / "0.csv", "an older table");
  ASSERT_TRUE(buildPointTable(dir.path(), 0).status);
  ASSERT_TRUE(buildPointTable(dir.path(), 0).status);
  const std::string zero = test::readText(dir / "0.csv");
  const auto lines = test::crlfLines(zero);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[1], "2005/07/01,0,0,0,139,36,1,2");
  EXPECT_EQ(lines[3], "2005/07/03,0,0,0,139,36,9,10");

  // Refusals leave the tables as they were.
  EXPECT_EQ(message(buildPointTable(dir.path(), -1).status), messages::kCellIdOutOfRange);
  EXPECT_EQ(message(buildPointTable(dir.path(), 2).status), messages::kCellIdOutOfRange);
  EXPECT_EQ(message(buildPointTable(dir.path(), "1.5").status), messages::kCellIdNotWhole);
  EXPECT_EQ(message(buildPointTable(dir.path(), "").status), messages::kCellIdNotWhole);

  test::writeText(dir / "20050702.CSV", "ID,M,N,Keido,Ido,00:00,00:30\r\n0,0,0,139,36,5,6\r\n");
  EXPECT_EQ(message(buildPointTable(dir.path(), 1).status),
            std::string(messages::kDayFileTooShort) + (dir / "20050702.CSV").string());

  fs::remove(dir / "20050703.CSV");
  const PointTableResult missing = buildPointTable(dir.path(), 0);
  EXPECT_FALSE(missing.status);
  EXPECT_EQ(message(missing.status), messages::kDayFilesMissing);

  test::writeText(dir / "FileList.txt", "\r\n");
  EXPECT_EQ(message(buildPointTable(dir.path(), 0).status), messages::kFileListEmpty);
  fs::remove(dir / "FileList.txt");
  EXPECT_EQ(message(checkFileList(dir.path())), messages::kFileListMissing);
  EXPECT_EQ(message(buildPointTable(dir.path(), 0).status), messages::kFileListMissing);
  EXPECT_EQ(test::readText(dir / "0.csv"), zero);
  EXPECT_EQ(test::readText(dir / "1.csv"), table);
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
    EXPECT_EQ(message(table.status), c.expected) << c.secondDay;
    EXPECT_TRUE(table.text.empty());
  }
}

}  // namespace
}  // namespace ombrix::exports
