#pragma once
// Archive day files made with the encoder, and the inputs of the reliability tests: a
// half-hourly archive and a CSV set of long lines, both large enough that writing their outputs
// takes a measurable moment.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "core/archive_calendar.h"
#include "core/rap_encoder.h"
#include "support/test_support.h"
#include "export/point_table.h"

namespace ombrix::test {

// cols x rows cells of 1/32 by 1/48 degree from 128 E, 46 N: inside the whole-country preset.
inline core::GridDescription reliabilityGrid(int cols, int rows) {
  return {46'000'000, 128'000'000, 31'250, 20'833, static_cast<std::int16_t>(cols), static_cast<std::int16_t>(rows)};
}

// The value of cell i in record j of a day.
using RecordValue = std::function<std::int16_t(int j, std::size_t cell)>;

// count records of one day from 00:00, minutesApart apart.
inline std::vector<core::ArchiveRecord> dayRecords(const core::GridDescription& grid, int year, int month, int day,
                                                   int count, int minutesApart, const RecordValue& value) {
  std::vector<core::ArchiveRecord> records;
  for (int j = 0; j < count; ++j) {
    const int minutes = j * minutesApart;
    core::ArchiveRecord record{{static_cast<std::int16_t>(year), static_cast<std::uint8_t>(month),
                                static_cast<std::uint8_t>(day), static_cast<std::uint8_t>(minutes / 60),
                                static_cast<std::uint8_t>(minutes % 60)},
                               std::vector<std::int16_t>(grid.cellCount())};
    for (std::size_t i = 0; i < record.values.size(); ++i) record.values[i] = value(j, i);
    records.push_back(std::move(record));
  }
  return records;
}

// The day's file in the archive layout under dir: count records as far apart as the era has them.
inline void writeArchiveDay(const std::filesystem::path& dir, const core::GridDescription& grid, int year, int month,
                            int day, int count, const RecordValue& value) {
  const std::filesystem::path path = core::archiveFilePath(dir.string(), year, month, day);
  std::filesystem::create_directories(path.parent_path());
  const int apart = core::archiveEra(year, month) >= 2 ? 30 : 60;
  ASSERT_TRUE(core::writeArchiveFile(path, grid, dayRecords(grid, year, month, day, count, apart, value)));
}

// Day files of July 2005 from day 1, 48 records each. The first day is encoded and copied for
// the others: the run takes stamps as they are.
inline void writeArchiveDays(const std::filesystem::path& dir, const core::GridDescription& grid, int days) {
  const auto nx = static_cast<std::size_t>(grid.nx);
  writeArchiveDay(dir, grid, 2005, 7, 1, 48, [nx](int j, std::size_t i) {
    return static_cast<std::int16_t>((i % nx / 8 + i / nx / 8 + static_cast<std::size_t>(j)) % 20 - 1);
  });
  const std::filesystem::path first = core::archiveFilePath(dir.string(), 2005, 7, 1);
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
