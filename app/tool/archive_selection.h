#pragma once
// The archive selection of the commands that read the archive (preprocess, export-netcdf
// --archive): what a user does with the archive-directory, area and period dialogs.
#include <optional>
#include <string>

#include "app/tool/tool_command.h"
#include "core/analysis_conditions.h"
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

struct ArchiveSelection {
  core::AnalysisConditions conditions;
  core::PeriodDates period;
};

// The selection from the options; or the usage error to report (a missing --region, --from or
// --to among them).
core::Status readArchiveSelection(const ArchiveOptions& options, ArchiveSelection& selection);

// The dialogs' order: the period is checked and catalogued on its Set, then the command asks
// for missing conditions. Prints the messages of a refusal and returns false.
bool catalogueSelection(ArchiveSelection& selection);

}  // namespace ombrix::tool
