// ombrix-tool make-sample --archive DIR [--data DIR]: the sample archive from the real rainfall
// fields (by default the ones installed beside the executable).
#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

#include "app/tool/tool_command.h"
#include "core/sample_archive.h"

namespace ombrix::tool {
namespace {

std::filesystem::path executableFolder() {
  std::error_code error;
  const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::filesystem::path(".") : executable.parent_path();
}

int runMakeSample(const std::vector<std::string>& words) {
  ToolArguments arguments;
  if (!arguments.parse(words, {"--archive", "--data"}, {})) return usageError("make-sample", arguments.error());
  const std::optional<std::string> archive = arguments.value("--archive");
  if (!archive || !arguments.positional().empty()) return usageError("make-sample", "--archive DIR is needed");
  const std::filesystem::path data = arguments.value("--data").value_or(executableFolder().string());
  const core::SamplePeriod period;
  TerminalProgress progress("make-sample");
  const core::Status status = core::makeSampleArchive(
      data, *archive, period, [&](int written, int count) { progress.update(static_cast<double>(written) / count); });
  if (!status) return refused(status);
  std::cout << "sample archive: " << *archive << " (" << period.year << "-" << period.month << "-" << period.firstDay
            << ", " << period.dayCount << " days of " << core::kSampleRecordsPerDay << " records)\n";
  return kExitOk;
}

const ToolCommandRegistration registration{
    {"make-sample", "make-sample --archive DIR [--data DIR]    (sample archive from the real rainfall fields)",
     runMakeSample}};

}  // namespace
}  // namespace ombrix::tool
