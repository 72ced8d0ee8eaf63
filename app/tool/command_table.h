#pragma once
// Every command of the batch tool, defined in the file named after it.
#include <span>

#include "app/tool/tool_command.h"

namespace ombrix::tool {

CommandRun defineAreal(CLI::App& command);
CommandRun defineExportDurationMax(CLI::App& command);
CommandRun defineExportFrame(CLI::App& command);
CommandRun defineExportGeoTiff(CLI::App& command);
CommandRun defineExportMax(CLI::App& command);
CommandRun defineExportNetcdf(CLI::App& command);
CommandRun defineExportPeriod(CLI::App& command);
CommandRun defineExportSum(CLI::App& command);
CommandRun defineImportGrib2(CLI::App& command);
CommandRun defineInfo(CLI::App& command);
CommandRun defineMakeSample(CLI::App& command);
CommandRun definePreprocess(CLI::App& command);
CommandRun defineRender(CLI::App& command);
CommandRun defineSeries(CLI::App& command);
CommandRun defineTable(CLI::App& command);

// The commands in the order "ombrix-tool --help" lists them.
std::span<const ToolCommand> commandTable();

}  // namespace ombrix::tool
