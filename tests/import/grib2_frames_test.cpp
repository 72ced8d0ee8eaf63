#include "import/grib2_frames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "core/messages.h"
#include "core/period_check.h"
#include "import/grib2_import.h"
#include "import/grib2_message_builder.h"
#include "support/grib2_restamp.h"
#include "support/test_support.h"

namespace ombrix::import {
namespace {

namespace fs = std::filesystem;

struct Frame {
  std::int64_t k;
  core::TimeStamp stamp;
  std::vector<std::int16_t> cells;
  bool operator==(const Frame&) const = default;
};

struct Streamed {
  core::AreaFrameLayout layout;
  std::vector<Frame> frames;
};

Streamed streamAll(core::FrameSource& source, const core::AreaBounds& area, std::vector<std::uint32_t> cellsRead = {},
                   bool wholeWindowsAhead = false) {
  Streamed out;
  EXPECT_TRUE(source.plan(area, out.layout));
  out.layout.cellsRead = std::move(cellsRead);
  out.layout.wholeWindowsAhead = wholeWindowsAhead;
  EXPECT_TRUE(source.stream(out.layout, {}, [&](std::int64_t k, const core::TimeStamp& stamp, auto cells) {
    out.frames.push_back({k, stamp, {cells.begin(), cells.end()}});
    return core::Status();
  }));
  return out;
}

// Around Kyushu, where the 2020 field rains hard.
constexpr core::AreaBounds kKyushu{130'000'000, 33'500'000, 131'000'000, 32'500'000};

// UTC half hours of 6-7 July 2020 made from the two real fields, a copy of one, a cut one, one
// ending at 16:10, one on a small grid, and one outside the period.
struct Grib2Folder {
  test::TempDir dir;
  fs::path in = dir / "in";
  std::set<fs::path> bad;
  Grib2Folder() {
    fs::create_directories(in / "sub");
    const std::vector<std::uint8_t> fields[] = {test::readBytes(test::realField(0)),
                                                test::readBytes(test::realField(1))};
    const auto put = [&](int field, int day, int hour, int minute, const fs::path& folder) {
      const fs::path path = folder / test::agencyName(2020, 7, day, hour, minute);
      test::writeBytes(path, test::restamped(fields[field], 2020, 7, day, hour, minute));
      return path;
    };
    put(0, 6, 14, 30, in);
    const fs::path midnight = put(1, 6, 15, 0, in);
    put(0, 7, 3, 0, in);
    put(1, 9, 0, 0, in);
    bad.insert(in / "sub" / ("Z__C_RJTD_0copy" + std::string(kGrib2RainfallSuffix)));
    fs::copy_file(midnight, *bad.begin());
    const fs::path cut = put(0, 7, 4, 0, in);
    test::writeBytes(cut, std::vector(fields[0].begin(), fields[0].begin() + 5000));
    bad.insert(cut);
    bad.insert(put(1, 6, 16, 10, in));
    const test::Grib2MessageSpec small{.day = 6, .hour = 20, .stream = test::encodeLevelRuns(std::vector<std::uint8_t>(12, 1), 3)};
    bad.insert(in / test::agencyName(2020, 7, 6, 20, 0));
    test::writeBytes(in / test::agencyName(2020, 7, 6, 20, 0), test::buildGrib2Message(small));
  }
};

std::set<fs::path> subjects(const std::vector<core::Status>& problems) {
  std::set<fs::path> paths;
  for (const core::Status& p : problems) paths.insert(p.subject);
  return paths;
}

// The same frames, stamps, window and skipped files as import-grib2 followed by a read of the
// archive, in JST and in UTC days.
TEST(Grib2Frames, EqualTheImportedArchivesFrames) {
  Grib2Folder folder;
  for (const bool utc : {false, true}) {
    SCOPED_TRACE(utc);
    const fs::path archive = folder.dir / (utc ? "utc" : "jst");
    std::vector<core::Status> missing;
    const std::vector<fs::path> files = collectGrib2Files(std::vector{folder.in}, missing);
    const Grib2ImportResult imported = importGrib2Files(files, archive, {utc, false});
    core::ArchiveSelection c;
    c.archiveDir = archive.string();
    ASSERT_TRUE(core::checkPeriod({{2020, 2020}, {7, 7}, {6, 7}}, c.archiveDir, c.period));
    core::FrameRequest archived = core::frameRequestOf(c);
    core::ArchiveFrames archiveFrames(archived);
    const Streamed expected = streamAll(archiveFrames, kKyushu);
    EXPECT_TRUE(streamAll(archiveFrames, kKyushu, {}, true).frames == expected.frames);

    core::FrameRequest request;
    request.period = archived.period;
    request.grib2Inputs = {folder.in};
    request.utc = utc;
    std::vector<core::Status> skipped;
    request.skipped = [&](const core::Status& s) { skipped.push_back(s); };
    Grib2Frames grib2(request);
    const Streamed streamed = streamAll(grib2, kKyushu);
    // Frames of a list of cells (every seventh) hold those cells of the frames, from either source.
    std::vector<std::uint32_t> cells;
    for (std::uint32_t i = 3; i < expected.frames.front().cells.size(); i += 7) cells.push_back(i);
    std::vector<Frame> listed = expected.frames;
    for (Frame& f : listed) {
      std::vector<std::int16_t> kept;
      for (const std::uint32_t i : cells) kept.push_back(f.cells[i]);
      f.cells = kept;
    }
    EXPECT_TRUE(streamAll(archiveFrames, kKyushu, cells).frames == listed);
    EXPECT_TRUE(streamAll(grib2, kKyushu, cells).frames == listed);
    EXPECT_EQ(streamed.layout.header, expected.layout.header);
    EXPECT_EQ(streamed.layout.window, expected.layout.window);
    ASSERT_EQ(streamed.frames.size(), 96u);
    EXPECT_TRUE(streamed.frames == expected.frames);
    EXPECT_EQ(subjects(skipped), subjects(imported.problems));
    EXPECT_EQ(subjects(skipped), folder.bad);
    const auto rainy = std::ranges::count_if(streamed.frames, [](const Frame& f) {
      return std::ranges::any_of(f.cells, [](std::int16_t v) { return v > 0; });
    });
    EXPECT_EQ(rainy, 3);
  }
}

TEST(Grib2Frames, RefusalsOfThePlan) {
  Grib2Folder folder;
  struct Case {
    std::vector<fs::path> inputs;
    core::PeriodDates period;
    core::AreaBounds area;
    std::string message;
  };
  const core::PeriodDates july{{2020, 2020}, {7, 7}, {6, 7}};
  const Case cases[] = {
      {{folder.in, folder.dir / "not-there"}, july, kKyushu,
       std::string(messages::kGrib2InputMissing) + (folder.dir / "not-there").string()},
      {{folder.in}, {{2020, 2020}, {7, 7}, {10, 20}}, kKyushu, std::string(messages::kGrib2NoFileInPeriod)},
      {{folder.in}, july, {100'000'000, 10'000'000, 101'000'000, 9'000'000}, std::string(messages::kAreaOutsideGrid)},
      {{folder.in}, {{2020, 2020}, {7, 7}, {7, 6}}, kKyushu, std::string(messages::kEndBeforeStart)},
      {{folder.in}, {{2021, 2021}, {2, 3}, {29, 1}}, kKyushu, std::string(messages::kDayNotInCalendar)},
  };
  for (const Case& c : cases) {
    core::FrameRequest request;
    request.period = c.period;
    request.grib2Inputs = c.inputs;
    Grib2Frames source(request);
    core::AreaFrameLayout layout;
    EXPECT_EQ(message(source.plan(c.area, layout)), c.message);
  }
}

}  // namespace
}  // namespace ombrix::import
