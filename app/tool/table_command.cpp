// ombrix-tool table DIR --id N: the rainfall table of cell N from a whole-period CSV set.
#include <iostream>
#include <memory>

#include "app/tool/command_table.h"
#include "core/number_text.h"
#include "export/point_table.h"

namespace ombrix::tool {

CommandRun defineTable(CLI::App& command) {
  struct Options {
    std::string folder;
    std::string id;
  };
  const auto options = std::make_shared<Options>();
  const CLI::Validator wholeNumber(
      [](std::string& text) { return core::parseWholeNumber(text) ? std::string() : "a cell ID is a whole number"; },
      "", "id");
  command.add_option("folder", options->folder, "CSV set folder made by export-period")->type_name("DIR")->required();
  command.add_option("--id", options->id, "ID of the cell")->type_name("N")->required()->check(wholeNumber);
  return [options] {
    const std::filesystem::path folder = options->folder;
    if (core::Status listed = exports::checkFileList(folder); !listed) return refused(listed);
    const exports::PointTableResult result = exports::buildPointTable(folder, *core::parseWholeNumber(options->id));
    if (!result.status) return refused(result.status);
    std::cerr << core::message(core::Notice::PointTableWritten, result.path) << "\n";
    std::cout << result.path.string() << "\n";
    return kExitOk;
  };
}

}  // namespace ombrix::tool
