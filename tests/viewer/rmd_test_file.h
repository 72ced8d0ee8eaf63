#pragma once
// Small real RMD files for the viewer tests, written with the program's own writer.
#include <cstdint>
#include <filesystem>
#include <vector>

#include "core/analysis_conditions.h"
#include "core/rmd_file.h"

namespace ombrix::test {

struct TestRmd {
  core::RmdHeader header;
  std::vector<core::TimeStamp> stamps;               // one per frame
  std::vector<std::vector<std::int16_t>> frames;     // one per frame; empty: left without data
};

// A file of rows x cols cells with one frame per value list, half-hourly from 2004-07-05 00:00.
TestRmd makeTestRmd(int rows, int cols, const std::vector<std::vector<std::int16_t>>& frames);
void writeTestRmd(const std::filesystem::path& path, const TestRmd& file);

// Conditions with the file at path opened on a 689 x 593 surface (the test fails otherwise).
core::AnalysisConditions openedConditions(const std::filesystem::path& path);

}  // namespace ombrix::test
