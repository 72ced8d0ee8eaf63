#pragma once
// The archive selection of the commands that read the archive (preprocess, export-netcdf
// --archive): what a user does with the archive-directory, area and period dialogs.
#include <string>

#include "app/tool/tool_command.h"
#include "core/analysis_conditions.h"
#include "core/archive_calendar.h"

namespace ombrix::tool {

struct ArchiveSelection {
  core::AnalysisConditions conditions;
  core::PeriodDates period;
};

// Reads --archive, --region, --from, --to and --area. An empty text means success, anything
// else is the usage error to report.
std::string readArchiveSelection(const ToolArguments& arguments, ArchiveSelection& selection);

// The dialogs' order: the period is checked and catalogued on its Set, then the command asks
// for missing conditions. Prints the messages of a refusal and returns false.
bool catalogueSelection(ArchiveSelection& selection);

}  // namespace ombrix::tool
