#pragma once
// Inputs of the reliability tests: a half-hourly archive made with the encoder and a CSV set
// of long lines, both large enough that writing their outputs takes a measurable moment.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/archive_calendar.h"
#include "core/rap_encoder.h"
#include "export/point_table.h"

namespace ombrix::test {

// cols x rows cells of 1/32 by 1/48 degree from 128 E, 46 N: inside the whole-country preset.
inline core::GridDescription reliabilityGrid(int cols, int rows) {
  return {46'000'000, 128'000'000, 31'250, 20'833, static_cast<std::int16_t>(cols), static_cast<std::int16_t>(rows)};
}

// Day files of July 2005 from day 1, 48 records each, in the archive layout under dir. The
// first day is encoded and copied for the others: the run takes stamps as they are.
inline void writeArchiveDays(const std::filesystem::path& dir, const core::GridDescription& grid, int days) {
  std::vector<core::ArchiveRecord> records;
  for (int j = 0; j < 48; ++j) {
    core::ArchiveRecord record{{2005, 7, 1, static_cast<std::uint8_t>(j / 2), static_cast<std::uint8_t>(j % 2 * 30)},
                               {}};
    record.values.resize(grid.cellCount());
    for (std::size_t i = 0; i < record.values.size(); ++i) {
      const std::size_t x = i % static_cast<std::size_t>(grid.nx);
      const std::size_t y = i / static_cast<std::size_t>(grid.nx);
      record.values[i] = static_cast<std::int16_t>((x / 8 + y / 8 + static_cast<std::size_t>(j)) % 20 - 1);
    }
    records.push_back(std::move(record));
  }
  const std::filesystem::path first = core::archiveFilePath(dir.string(), 2005, 7, 1);
  std::filesystem::create_directories(first.parent_path());
  ASSERT_TRUE(core::writeArchiveFile(first, grid, records));
  for (int day = 2; day <= days; ++day) {
    std::filesystem::copy_file(first, core::archiveFilePath(dir.string(), 2005, 7, day));
  }
}

// A CSV set of `days` day files 200507DD.CSV, each a header and one line of cell 0 holding
// `values` values.
inline void writeCsvSet(const std::filesystem::path& folder, int days, int values) {
  std::string header = "ID,M,N,Keido,Ido";
  std::string line = "0,0,0,139,36";
  for (int v = 0; v < values; ++v) {
    header += ",00:00";
    line.append(",").append(std::to_string(v % 500));
  }
  std::ofstream list(folder / std::string(exports::kFileListName), std::ios::binary);
  for (int day = 1; day <= days; ++day) {
    const std::string name = "2005" + std::string(day < 10 ? "070" : "07") + std::to_string(day) + ".CSV";
    list << name << "\r\n";
    std::ofstream out(folder / name, std::ios::binary);
    out << header << "\r\n" << line << "\r\n";
  }
}

}  // namespace ombrix::test
