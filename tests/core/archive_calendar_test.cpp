#include "core/archive_calendar.h"

#include <gtest/gtest.h>

#include <vector>

namespace ombrix::core {
namespace {

TEST(ArchiveCalendar, ErasLeapYearsAndPaths) {
  EXPECT_EQ((std::vector<int>{archiveEra(1988, 1), archiveEra(2001, 3), archiveEra(2001, 4), archiveEra(2003, 5),
                              archiveEra(2003, 6), archiveEra(2005, 12), archiveEra(2006, 1)}),
            (std::vector<int>{0, 0, 1, 1, 2, 2, 3}));
  EXPECT_EQ((std::vector<int>{daysInMonth(1992, 2), daysInMonth(2000, 2), daysInMonth(1900, 2), daysInMonth(2005, 2),
                              daysInMonth(2005, 4), daysInMonth(2005, 12), daysInMonth(2005, 13)}),
            (std::vector<int>{29, 29, 28, 28, 30, 31, 0}));
  EXPECT_EQ(archiveFilePath("/data/rap", 2005, 5, 7), "/data/rap/2005/5/J2005507.RAP");
  EXPECT_EQ(archiveFilePath("/data/rap", 2004, 12, 15), "/data/rap/2004/C/J2004C15.RAP");
  EXPECT_EQ(archiveFilePath("/", 2004, 10, 1), "/2004/A/J2004A01.RAP");
}

}  // namespace
}  // namespace ombrix::core
