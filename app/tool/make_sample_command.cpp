// ombrix-tool make-sample --archive DIR [--data DIR]: the sample archive from the real rainfall
// fields (by default the ones installed beside the executable).
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include "app/tool/command_table.h"
#include "app/tool/long_run.h"
#include "core/program_folder.h"
#include "import/sample_archive.h"

namespace ombrix::tool {

CommandRun defineMakeSample(CLI::App& command) {
  struct Options {
    std::string archive;
    std::string data = core::programFolder().string();
  };
  const auto options = std::make_shared<Options>();
  command.add_option("--archive", options->archive, "folder the sample archive is written to")
      ->type_name("DIR")
      ->required();
  command.add_option("--data", options->data, "folder of the real rainfall fields (default: beside the program)")
      ->type_name("DIR");
  return [options] {
    const import::SamplePeriod period;
    const core::Status status = runLong("make-sample", [&](const core::OperationCallbacks& callbacks) {
      return import::makeSampleArchive(options->data, options->archive, period, callbacks);
    });
    if (!status) return refused(status);
    std::cout << "sample archive: " << options->archive << " (" << period.year << "-" << period.month << "-"
              << period.firstDay << ", " << period.dayCount << " days of " << import::kSampleRecordsPerDay
              << " records)\n";
    return kExitOk;
  };
}

}  // namespace ombrix::tool
