#include "core/period_check.h"

#include <gtest/gtest.h>

#include <set>
#include <type_traits>

#include "core/analysis_conditions.h"
#include "core/archive_calendar.h"
#include "core/messages.h"
#include "support/test_support.h"

namespace ombrix::core {
namespace {

// An archive directory with only the given files, and every lookup counted.
struct FakeArchive {
  std::set<std::string> files;
  std::vector<std::string> lookups;
  FileExists exists() {
    return [this](const std::string& path) {
      lookups.push_back(path);
      return files.count(path) > 0;
    };
  }
  void addDays(int y, int m, int firstDay, int lastDay) {
    for (int d = firstDay; d <= lastDay; ++d) files.insert(archiveFilePath("R", y, m, d));
  }
};

PeriodDates period(int y0, int m0, int d0, int y1, int m1, int d1) { return {{y0, y1}, {m0, m1}, {d0, d1}}; }

// The period dialog's Set: the record takes the period as the check of dates or texts leaves it.
template <typename Input>
Status checkInto(const Input& input, AnalysisConditions& c, const FileExists& exists = regularFileExists) {
  ArchivePeriod period = c.archiveSelection().period;
  Status status;
  if constexpr (std::is_same_v<Input, PeriodTexts>) status = checkPeriodTexts(input, c.archiveDir, period, exists);
  else status = checkPeriod(input, c.archiveDir, period, exists);
  c.setPeriod(period);
  return status;
}

AnalysisConditions conditionsIn(std::string dir) {
  AnalysisConditions c;
  c.archiveDir = std::move(dir);
  c.periodHour = {5, 6};
  c.periodMinute = {30, 30};
  return c;
}

TEST(PeriodCheck, DefaultSingleDayWithARealFile) {
  test::TempDir dir;
  std::filesystem::create_directories(dir / "2005/1");
  test::writeText(dir / "2005/1/J2005101.RAP", "x");
  std::filesystem::create_directories(dir / "2005/1/J2005102.RAP");  // a folder is no file
  AnalysisConditions c = conditionsIn(dir.path().string());
  EXPECT_EQ(checkInto(period(2005, 1, 1, 2005, 1, 1), c).problem, Problem::None);
  EXPECT_EQ(c.archiveFiles, std::vector<std::string>{(dir / "2005/1/J2005101.RAP").string()});
  EXPECT_EQ(c.archiveFileCount, 1);
  EXPECT_EQ(c.periodHour, (std::array<std::int32_t, 2>{0, 0}));
  EXPECT_EQ(c.periodMinute, (std::array<std::int32_t, 2>{0, 0}));
  EXPECT_EQ(checkInto(period(2005, 1, 1, 2005, 1, 2), c).problem, Problem::PeriodMissingFile);
}

TEST(PeriodCheck, CataloguesAcrossMonthFoldersAndLeapDaysAndRefusalsClearIt) {
  FakeArchive archive;
  for (int y = 2001; y <= 2005; ++y) {
    for (int m = 1; m <= 12; ++m) archive.addDays(y, m, 1, daysInMonth(y, m));
  }
  archive.files.erase("R/2005/6/J2005603.RAP");
  archive.files.erase("R/2001/4/J2001401.RAP");
  archive.files.insert("R/2005/2/J2005230.RAP");
  AnalysisConditions c = conditionsIn("R");
  ASSERT_EQ(checkInto(period(2001, 4, 2, 2003, 5, 31), c, archive.exists()).problem, Problem::None);
  EXPECT_EQ(c.archiveFileCount, 790);
  ASSERT_EQ(checkInto(period(2004, 2, 28, 2004, 3, 1), c, archive.exists()).problem, Problem::None);
  EXPECT_EQ(c.archiveFiles, (std::vector<std::string>{"R/2004/2/J2004228.RAP", "R/2004/2/J2004229.RAP", "R/2004/3/J2004301.RAP"}));
  ASSERT_EQ(checkInto(period(2004, 9, 30, 2004, 10, 1), c, archive.exists()).problem, Problem::None);
  EXPECT_EQ(c.archiveFiles, (std::vector<std::string>{"R/2004/9/J2004930.RAP", "R/2004/A/J2004A01.RAP"}));
  EXPECT_EQ(std::pair(c.periodYear, c.periodDay), std::pair(std::array<std::int32_t, 2>{2004, 2004}, std::array<std::int32_t, 2>{30, 1}));
  // A missing file is reported before the era mixture; days that do not exist have no file
  // (without this, the start day would be skipped and March catalogued for a period that
  // begins in February).
  for (const auto& [dates, status, looksUp] : std::vector<std::tuple<PeriodDates, Problem, bool>>{
           {period(2003, 5, 31, 2003, 6, 1), Problem::PeriodMixedFormats, true},
           {period(2001, 3, 31, 2001, 4, 1), Problem::PeriodMissingFile, true},
           {period(2005, 3, 10, 2005, 3, 9), Problem::PeriodEndBeforeStart, true},
           {period(2005, 2, 1, 2005, 1, 31), Problem::PeriodEndBeforeStart, true},
           {period(2006, 1, 1, 2005, 12, 31), Problem::PeriodEndBeforeStart, true},
           {period(2005, 2, 30, 2005, 3, 2), Problem::PeriodMissingFile, false},
           {period(2005, 3, 1, 2005, 3, 32), Problem::PeriodMissingFile, false},
           {period(2005, 3, 0, 2005, 3, 2), Problem::PeriodMissingFile, false},
           {period(2005, 3, 1, 2005, 13, 2), Problem::PeriodMissingFile, false}}) {
    archive.lookups.clear();
    c.archiveFileCount = 1;
    c.archiveFiles = {"R/previous"};
    EXPECT_EQ(checkInto(dates, c, archive.exists()).problem, status) << dates.day[0] << "." << dates.month[0];
    EXPECT_EQ(c.archiveFileCount, 0);
    EXPECT_TRUE(c.archiveFiles.empty());
    EXPECT_TRUE(looksUp || archive.lookups.empty()) << "nothing is looked up for days that do not exist";
  }
  // The search stops at the first missing day.
  archive.lookups.clear();
  EXPECT_EQ(checkInto(period(2005, 6, 1, 2005, 6, 5), c, archive.exists()).problem, Problem::PeriodMissingFile);
  EXPECT_EQ(archive.lookups.size(), 3u);
  EXPECT_EQ(message({Problem::PeriodMissingFile}), messages::kMissingFile);
}

TEST(PeriodTextCheck, RefusesTextsThatAreNotDatesAndStoresNothing) {
  FakeArchive archive;
  archive.addDays(2005, 1, 1, 31);
  AnalysisConditions c = conditionsIn("R");
  c.archiveFileCount = 1;
  c.archiveFiles = {"R/previous"};
  const AnalysisConditions before = c;
  auto texts = [](std::string y1, std::string m1, std::string d1) {
    return PeriodTexts{{"2005", std::move(y1)}, {"1", std::move(m1)}, {"1", std::move(d1)}};
  };
  const std::vector<std::pair<PeriodTexts, std::string>> refused{
      {texts("２００５", "1", "1"), "終了日の年には数字を入力してください。"},
      {texts("2005", "13", "1"), "終了日の月には1から12までの数字を入力してください。"},
      {texts("2005", "1", "1.5"), "終了日の日には数字を入力してください。"},
      {{{"x", "x"}, {"1", "1"}, {"1", "1"}}, "開始日の年には数字を入力してください。"},
  };
  for (const auto& [input, message] : refused) {
    const Status result = checkInto(input, c, archive.exists());
    EXPECT_FALSE(result);
    EXPECT_EQ(core::message(result), message);
    EXPECT_EQ(c.periodYear, before.periodYear);
    EXPECT_EQ(c.archiveFiles, before.archiveFiles);
  }
  EXPECT_TRUE(archive.lookups.empty());

  const Status ok = checkInto(texts(" 2005", "1", "03 "), c, archive.exists());
  EXPECT_TRUE(ok);
  EXPECT_TRUE(message(ok).empty());
  EXPECT_EQ(c.archiveFileCount, 3);
  const Status order = checkInto(texts("2004", "1", "1"), c, archive.exists());
  EXPECT_EQ(order.problem, Problem::PeriodEndBeforeStart);
  EXPECT_EQ(message(order), messages::kEndBeforeStart);
}

}  // namespace
}  // namespace ombrix::core
