// ombrix-tool table DIR --id N: the rainfall table of cell N from a whole-period CSV set.
#include <iostream>
#include <vector>

#include "app/tool/export_session.h"
#include "export/point_table.h"

namespace ombrix::tool {
namespace {

int runTable(const std::vector<std::string>& words) {
  ToolArguments arguments;
  if (!arguments.parse(words, {"--id"}, {})) return usageError("table", arguments.error());
  if (arguments.positional().size() != 1) return usageError("table", "one CSV set folder is needed");
  const auto id = wholeNumberOption(arguments, "--id");
  if (!id) return usageError("table", "--id needs a whole-number cell ID");
  const std::filesystem::path folder = arguments.positional().front();
  if (core::Status listed = exports::checkFileList(folder); !listed) return refused(listed);
  const exports::PointTableResult result = exports::buildPointTable(folder, *id);
  if (!result.status) return refused(result.status);
  std::cerr << result.message << "\n";
  std::cout << result.path.string() << "\n";
  return kExitOk;
}

const ToolCommandRegistration registration{
    {"table", "table DIR --id N    (rainfall table N.csv of cell N from a CSV set made by export-period)", runTable}};

}  // namespace
}  // namespace ombrix::tool
