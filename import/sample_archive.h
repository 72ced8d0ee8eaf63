#pragma once
// The sample archive: a few days of half-hourly .RAP files on a 2.5 km national grid, made
// from two real analysed rainfall fields of the agency. Both fields are resampled once to the
// grid (the maximum of the 1 km cells whose centres lie in each 2.5 km cell); each record then
// shifts them east-north-east by a time-dependent offset and cross-fades between them, so that
// rain bands travel across Kyushu and western Japan. The area the fields cover stays where it
// is: cells outside it hold no data (-1) in every record. Values are quantised to the fields'
// representative levels, in 0.1 mm/h.
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "import/grib2_field.h"
#include "core/operation_callbacks.h"
#include "core/problem.h"
#include "core/rap_archive.h"
#include "core/time_stamp.h"

namespace ombrix::import {

// The national grid of the sample: cells of 1/32 degree by 1/48 degree, row 0 centred half a
// cell south of 48 N, column 0 half a cell east of 118 E.
inline constexpr core::GridDescription kSampleGrid{47'989'583, 118'015'625, 31'250, 20'833, 1024, 1344};

// The two real fields in the repository's data folder.
inline constexpr const char* kSampleFieldFiles[2] = {
    "Z__C_RJTD_20200707000000_SRF_GPV_Ggis1km_Prr60lv_ANAL_grib2.bin",
    "Z__C_RJTD_20210817090000_SRF_GPV_Ggis1km_Prr60lv_ANAL_grib2.bin",
};

struct SamplePeriod {
  int year = 2005;
  int month = 7;
  int firstDay = 1;
  int dayCount = 3;  // days within the month
};

inline constexpr int kSampleRecordsPerDay = 48;

// The field's values resampled to grid: per cell the maximum value (0.1 mm) of the source cells
// whose centres lie in it, -1 where there is none or all of them are missing.
std::vector<std::int16_t> resampleMaximum(const Grib2Field& field, const core::GridDescription& grid);

// The records of the sample, made from two fields already resampled to grid.
class SampleSequence {
 public:
  // first and second: grid.cellCount() values each; levels: the representative values the
  // blended values are quantised to (0.1 mm, ascending, without -1).
  SampleSequence(const core::GridDescription& grid, std::vector<std::int16_t> first, std::vector<std::int16_t> second,
                 std::vector<std::int16_t> levels);
  // Record k counted from the first record of the period (half an hour apart); cells.size()
  // must be grid.cellCount().
  void makeRecord(int k, std::span<std::int16_t> cells) const;

 private:
  core::GridDescription grid_;
  std::vector<std::int16_t> first_;
  std::vector<std::int16_t> second_;
  std::vector<std::int16_t> quantised_;  // value -> nearest level
  std::vector<bool> covered_;            // whether either field has data in the cell
};

// Reads both fields from dataDir and writes one archive file per day of the period into
// archiveDir, each through a temporary file. One step of callbacks before each record is made,
// with the records begun and the period's record count; a cancel stops before its day is written
// (the days written before stay, each complete).
core::Status makeSampleArchive(const std::filesystem::path& dataDir, const std::filesystem::path& archiveDir,
                               const SamplePeriod& period = {}, const core::OperationCallbacks& callbacks = {});

}  // namespace ombrix::import
