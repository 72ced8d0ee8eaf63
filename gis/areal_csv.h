#pragma once
// The CSV files of areal rainfall, for spreadsheets: UTF-8 with a byte-order mark (Japanese
// names), CR LF line ends, written atomically.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/problem.h"
#include "gis/areal_series.h"
#include "gis/duration_maxima.h"

namespace ombrix::gis {

// "time", each polygon's name, each name followed by " coverage"; then one line per frame:
// "YYYY-MM-DD hh:mm", the means in mm/h with two decimals (empty when none), the coverages
// with three decimals.
// With hours, also the durations file at durationCsvPath(path): "name,hours,depth_mm,end_time";
// one line per polygon and duration, the depth with two decimals (depth and time empty when no
// window has data in all its frames). By year or month: "name,hours,period,depth_mm,end_time,
// frames_missing", one line per polygon, duration and period, frames_missing counting the
// period's frames without data for the polygon. Both files are complete before either is
// renamed over its target: a failure leaves both targets as they were.
core::Status writeArealCsv(const std::filesystem::path& path, const ArealTable& table,
                           const std::vector<int>& hours = {}, MaximaPeriods by = MaximaPeriods::Whole);

// "time,value": one line per frame, the stored value in mm/h with one decimal (empty when
// the cell has no data).
core::Status writeSeriesCsv(const std::filesystem::path& path, const std::vector<core::TimeStamp>& times,
                            const std::vector<std::int16_t>& values);

// "<stem>-areal.csv" and "<stem>-areal-durations.csv" beside the RMD file.
std::filesystem::path arealCsvPath(const std::filesystem::path& rmdPath);
std::filesystem::path durationCsvPath(const std::filesystem::path& arealPath);

}  // namespace ombrix::gis
