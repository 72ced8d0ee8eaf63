// ombrix-tool import-grib2 --archive DIR [--utc] [--replace] FILE_OR_FOLDER...: the agency's
// analysed rainfall files added to the daily archive files. Skipped files are reported and the
// rest imported, then a summary is printed on standard error; the exit status is 0 when the
// import succeeded (import::importSucceeded), 1 otherwise.
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "app/tool/command_table.h"
#include "app/tool/long_run.h"
#include "import/grib2_import.h"

namespace ombrix::tool {

CommandRun defineImportGrib2(CLI::App& command) {
  struct Options {
    std::string archive;
    bool utc = false;
    bool replace = false;
    std::vector<std::string> inputs;
  };
  const auto options = std::make_shared<Options>();
  command.add_option("--archive", options->archive, "archive folder the daily files go to")
      ->type_name("DIR")
      ->required();
  command.add_flag("--utc", options->utc, "days in UTC instead of JST");
  command.add_flag("--replace", options->replace, "a file replaces a half hour already held with other values");
  command.add_option("inputs", options->inputs, "GRIB2 files and folders of them")
      ->type_name("FILE_OR_FOLDER")
      ->required();
  return [options] {
    const std::vector<std::filesystem::path> inputs(options->inputs.begin(), options->inputs.end());
    std::vector<core::Status> problems;
    const std::vector<std::filesystem::path> files = import::collectGrib2Files(inputs, problems);
    for (const core::Status& problem : problems) report(problem);
    if (files.empty()) return refused({core::Problem::Grib2NoInputFiles});

    const import::Grib2ImportOptions importOptions{options->utc, options->replace};
    const import::Grib2ImportResult result =
        runLong("import-grib2", [&](const core::OperationCallbacks& callbacks) {
          return import::importGrib2Files(files, options->archive, importOptions, callbacks);
        });
    if (result.cancelled) return refused({core::Problem::Cancelled});
    for (const core::Status& problem : result.problems) report(problem);
    for (const std::string& line : import::importSummary(result)) std::cerr << line << "\n";
    for (const std::filesystem::path& day : result.daysWritten) std::cout << day.string() << "\n";
    if (import::importSucceeded(result)) return kExitOk;
    return result.daysWritten.empty() ? refused({core::Problem::Grib2NoDayWritten}) : kExitRefused;
  };
}

}  // namespace ombrix::tool
