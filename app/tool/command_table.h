#pragma once
// Every command of the batch tool, defined in the file named after it.
//
// The define functions are declared weak: a program that is built without a command's file
// (app/CMakeLists.txt decides) has a null define in that command's row, and runTool runs the
// full tool in its place for that command.
#include <span>

#include "app/tool/tool_command.h"

namespace ombrix::tool {

[[gnu::weak]] CommandRun defineAreal(CLI::App& command);
[[gnu::weak]] CommandRun defineExportDurationMax(CLI::App& command);
[[gnu::weak]] CommandRun defineExportFrame(CLI::App& command);
[[gnu::weak]] CommandRun defineExportGeoTiff(CLI::App& command);
[[gnu::weak]] CommandRun defineExportMax(CLI::App& command);
[[gnu::weak]] CommandRun defineExportNetcdf(CLI::App& command);
[[gnu::weak]] CommandRun defineExportPeriod(CLI::App& command);
[[gnu::weak]] CommandRun defineExportSum(CLI::App& command);
[[gnu::weak]] CommandRun defineImportGrib2(CLI::App& command);
[[gnu::weak]] CommandRun defineInfo(CLI::App& command);
[[gnu::weak]] CommandRun defineMakeSample(CLI::App& command);
[[gnu::weak]] CommandRun definePreprocess(CLI::App& command);
[[gnu::weak]] CommandRun defineRender(CLI::App& command);
[[gnu::weak]] CommandRun defineSeries(CLI::App& command);
[[gnu::weak]] CommandRun defineTable(CLI::App& command);

// The commands in the order "ombrix-tool --help" lists them.
std::span<const ToolCommand> commandTable();

}  // namespace ombrix::tool
