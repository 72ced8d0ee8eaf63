#pragma once
// Import of the agency's analysed one-hour rainfall (GRIB2, one message per file, every half
// hour) into the archive layout: one .RAP file per day with 48 records stamped 00:00 ... 23:30
// by the end of each hour's accumulation, on the messages' own 1 km grid. A half hour without a
// file becomes a record of no-data cells. Memory stays at one decoded message, a few grids of
// level codes, the day file already there and the day's compressed records.
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "import/grib2_field.h"
#include "core/operation_callbacks.h"
#include "core/problem.h"
#include "core/rap_archive.h"

namespace ombrix::import {

// The name ending of the agency's files, which folders are searched for.
inline constexpr std::string_view kGrib2RainfallSuffix = "_SRF_GPV_Ggis1km_Prr60lv_ANAL_grib2.bin";

struct Grib2ImportOptions {
  bool utc = false;  // group and stamp in UTC instead of Japan Standard Time (UTC+9)
  // A file for a half hour the day file already holds with other values replaces it, and a day
  // file that cannot be added to (malformed, another grid or other times) is replaced by the
  // day's new files alone. Without it both are reported and kept.
  bool replace = false;
};

// What became of the files of one import, each file counted once.
struct Grib2ImportCounts {
  int imported = 0;     // half hours added to a day file, or replacing what it held
  int identical = 0;    // files holding what the day file already holds for their half hour
  int conflicting = 0;  // files left out: the day file holds other values for their half hour
  int refused = 0;      // files that could not be read or placed, or whose day file was not written
};

// The half hours (0 for 00:00 ... 47 for 23:30) a day file holds no data for.
struct DayGaps {
  std::filesystem::path file;
  std::vector<int> missing;
};

struct Grib2ImportResult {
  std::vector<std::filesystem::path> daysWritten;
  // What the user is told, in the order met: inputs not found, files skipped, days not written.
  std::vector<core::Status> problems;
  int daysFailed = 0;     // days with data whose file could not be written or was kept
  int daysUnchanged = 0;  // days whose file already held everything the files brought
  Grib2ImportCounts counts;
  std::vector<DayGaps> gaps;  // every day file written or left unchanged, in day order
  bool cancelled = false;     // stopped at the caller's asking: the day under way was not written
};

// The files to import: a file named in inputs as it is, a folder searched recursively for
// names ending in kGrib2RainfallSuffix; in ascending path order, each once. An input that
// does not exist is added to problems.
std::vector<std::filesystem::path> collectGrib2Files(std::span<const std::filesystem::path> inputs,
                                                     std::vector<core::Status>& problems);

// The archive grid of a message grid: origin at the first point, spacing from the first and last
// points and the counts, rounded to the microdegree. False when the counts do not fit.
bool archiveGridOf(const Grib2LatLonGrid& grid, core::GridDescription& out) noexcept;

// The half hour a message belongs to: the end of its accumulation, in local time unless
// options.utc. False when it is not a calendar time on the hour or half hour.
struct HalfHourSlot {
  std::chrono::year_month_day day;
  int index = 0;  // 0 for 00:00 ... 47 for 23:30
  bool operator==(const HalfHourSlot&) const = default;
};
bool halfHourSlotOf(const Grib2Time& accumulationEnd, const Grib2ImportOptions& options, HalfHourSlot& out) noexcept;

// The stamp of a half hour's record: its day and the end of its hour, hh:mm.
core::TimeStamp halfHourStamp(const std::chrono::year_month_day& day, int index) noexcept;

// Imports files into archiveDir. A day file already there is added to: the half hours it holds
// data for stay (a record of no data only is a half hour without data), the files' half hours
// are added, and the result replaces it only once it is complete. A day is rewritten only when a
// half hour was added or replaced, and a day imported in parts (none replaced) ends byte for
// byte as one imported at once. One step of callbacks after each file decoded, with the number
// done and the file count; a cancel stops the import there, before its day is written (the days
// written before stay, each complete).
Grib2ImportResult importGrib2Files(std::span<const std::filesystem::path> files,
                                   const std::filesystem::path& archiveDir, const Grib2ImportOptions& options = {},
                                   const core::OperationCallbacks& callbacks = {});

// Whether the import did its work: at least one half hour was written or was already held with
// the same values, and every day with data was written. Skipped files alone do not make it fail.
bool importSucceeded(const Grib2ImportResult& result) noexcept;

// The lines of the summary the batch tool prints after an import: days written, half hours
// imported, files skipped by reason, and each day's half hours still without data.
std::vector<std::string> importSummary(const Grib2ImportResult& result);

}  // namespace ombrix::import
