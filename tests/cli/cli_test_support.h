#pragma once
// Running the batch tool, and the two inputs its tests share: a rain file and an archive.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "core/rap_archive.h"
#include "support/reliability_inputs.h"
#include "support/sample_rmd.h"
#include "support/test_support.h"

namespace ombrix::test {

inline CommandResult tool(const std::string& arguments) {
  return runCommand(shellQuote(std::string(OMBRIX_BIN_DIR) + "/ombrix-tool") + " " + arguments);
}

// Exit code 1 with exactly message on stderr.
inline void expectRefused(const CommandResult& run, std::string_view message) {
  EXPECT_EQ(run.exitCode, 1) << run.err;
  EXPECT_EQ(run.err, std::string(message) + "\n");
}

// The path a successful run printed.
inline std::string printedPath(const CommandResult& run) {
  EXPECT_EQ(run.exitCode, 0) << run.err;
  return run.out.empty() ? std::string() : run.out.substr(0, run.out.size() - 1);
}

// Two half-hourly days of a 2 x 3 grid at 139 E, 36 N; cell c of frame k holds k + c, except
// cell 0 of frame 1, which has no data.
struct RainFile {
  TempDir dir;
  std::filesystem::path path = dir / "Ka20057012005702.RMD";
  std::string file = shellQuote(path.string());
  RainFile() {
    writeSampleRmd(path, sampleGrid(96, 2, 3), 48, dayStamps(2005, 7, 1, 2, 48),
                   [](int k, int c) { return static_cast<std::int16_t>(k == 1 && c == 0 ? -1 : k + c); });
  }
  std::string line(const std::string& name, std::size_t k) const { return crlfLines(readText(dir / name)).at(k); }
};

// A 40 x 30 half-hourly grid from 137 E, 39 N over 1 and 2 July 2005, the second day eight
// records short; a few cells have no data.
struct JulyArchive {
  TempDir dir;
  JulyArchive() {
    const core::GridDescription grid{39000000, 137000000, 31250, 20833, 40, 30};
    for (const auto& [day, count] : {std::pair{1, 48}, {2, 40}}) {
      writeArchiveDay(dir.path(), grid, 2005, 7, day, count, [day](int j, std::size_t c) {
        return static_cast<std::int16_t>((c * 7 + static_cast<std::size_t>(j * 13 + day)) % 97 - 2);
      });
    }
  }
  std::string archive() const { return "--archive " + shellQuote(dir.path().string()); }
  std::string preprocess(const std::string& options = "--region 関東 --from 2005-07-01 --to 2005-07-02") const {
    return printedPath(tool("preprocess " + archive() + " " + options));
  }
};

}  // namespace ombrix::test
