// ombrix-tool import-grib2 --archive DIR [--utc] [--replace] FILE_OR_FOLDER...: the agency's
// analysed rainfall files added to the daily archive files. Skipped files are reported and the
// rest imported, then a summary is printed on standard error; the exit status is 0 when at least
// one day was written or already held the files' data, and no day with data failed to be written.
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "app/tool/tool_command.h"
#include "core/grib2_import.h"
#include "core/messages.h"

namespace ombrix::tool {
namespace {

int runImportGrib2(const std::vector<std::string>& words) {
  ToolArguments arguments;
  if (!arguments.parse(words, {"--archive"}, {"--utc", "--replace"})) {
    return usageError("import-grib2", arguments.error());
  }
  const std::optional<std::string> archive = arguments.value("--archive");
  if (!archive) return usageError("import-grib2", "--archive DIR is needed");
  if (arguments.positional().empty()) return usageError("import-grib2", "at least one file or folder is needed");

  const std::vector<std::filesystem::path> inputs(arguments.positional().begin(), arguments.positional().end());
  std::vector<std::string> problems;
  const std::vector<std::filesystem::path> files = core::collectGrib2Files(inputs, problems);
  for (const std::string& problem : problems) std::cerr << problem << "\n";
  if (files.empty()) return refused(messages::kGrib2NoInputFiles);

  core::Grib2ImportResult result;
  {
    TerminalProgress progress("import-grib2");
    const core::Grib2ImportOptions options{arguments.flag("--utc"), arguments.flag("--replace")};
    result = core::importGrib2Files(files, *archive, options, [&](int done, int count) {
      progress.update(static_cast<double>(done) / count);
    });
  }
  for (const std::string& problem : result.problems) std::cerr << problem << "\n";
  for (const std::string& line : core::importSummary(result)) std::cerr << line << "\n";
  for (const std::filesystem::path& day : result.daysWritten) std::cout << day.string() << "\n";
  if (result.daysWritten.empty() && result.daysUnchanged == 0) return refused(messages::kGrib2NoDayWritten);
  return result.daysFailed == 0 ? kExitOk : kExitRefused;
}

const ToolCommandRegistration registration{
    {"import-grib2",
     "import-grib2 --archive DIR [--utc] [--replace] FILE_OR_FOLDER...    (analysed 1 km rainfall GRIB2 files added "
     "to the daily archive files, days in JST unless --utc; --replace lets a file replace a half hour held with "
     "other values)",
     runImportGrib2}};

}  // namespace
}  // namespace ombrix::tool
