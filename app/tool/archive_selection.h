#pragma once
// The archive selection of the commands that read the archive (preprocess, export-netcdf
// --archive): what a user does with the archive-directory, area and period dialogs; and the
// --grib2 form of the analyses, which read the agency's files instead.
#include <optional>
#include <string>
#include <vector>

#include "app/tool/tool_command.h"
#include "core/frame_source.h"
#include "core/period_check.h"

namespace ombrix::tool {

struct ArchiveOptions {
  std::string archive;
  std::string region;
  std::string from;
  std::string to;
  std::string area;
};

// Adds --archive, --region and --area, with their checks.
void addArchiveOptions(CLI::App& command, ArchiveOptions& options);
// Adds --from and --to as days, with their checks.
void addPeriodOptions(CLI::App& command, ArchiveOptions& options);

// The directory as the directory dialog reports it: absolute, without a trailing separator
// except for the root.
std::string archiveDirectory(const std::string& text);
// The period of two "YYYY-MM-DD" texts; nothing when one is not a date.
std::optional<core::PeriodDates> periodOf(const std::string& from, const std::string& to);

// The selection from the options, its period's dates without a catalogue; or the usage error to
// report (a missing --region, --from or --to among them).
core::Status readArchiveSelection(const ArchiveOptions& options, core::ArchiveSelection& selection);

// The dialogs' order: the period is checked and catalogued on its Set, then the command asks
// for missing conditions. Prints the messages of a refusal and returns false.
bool catalogueSelection(core::ArchiveSelection& selection);

struct Grib2Options {
  std::vector<std::string> inputs;
  bool utc = false;
  int skipped = 0;  // files named on standard error and left out by the run
};

// Adds --grib2 PATH... and --utc; returns --grib2.
CLI::Option* addGrib2Options(CLI::App& command, Grib2Options& options);

// The request of the --grib2 form: each file left out is named on standard error and counted.
core::FrameRequest grib2Request(const core::PeriodDates& period, const core::AreaBounds& area,
                                const std::string& areaName, Grib2Options& options);

// The summary after a --grib2 run: how many files were left out, when any were.
void printGrib2Summary(const Grib2Options& options);

}  // namespace ombrix::tool
