#include "export/current_display_export.h"

#include <string>

#include "core/region_table.h"
#include "export/csv_file_writer.h"
#include "export/csv_number_format.h"

namespace ombrix::exports {

namespace {

constexpr std::string_view kHeader = "ID,M,N,Keido,Ido,Value";

}  // namespace

bool mapShown(const core::ShownMap& map) noexcept {
  return !map.label.empty() && map.grid.rows > 0 && map.grid.columns > 0 &&
         map.cells.size() == static_cast<std::size_t>(map.grid.rows) * static_cast<std::size_t>(map.grid.columns);
}

std::filesystem::path currentDisplayPath(const core::ShownMap& map, std::string_view areaText) {
  std::string name(core::regionCodeForName(areaText));
  name.append(map.label).append(".CSV");
  return map.folder / name;
}

CurrentDisplayResult exportCurrentDisplay(const core::ShownMap& map, std::string_view areaText) {
  CurrentDisplayResult result;
  if (!mapShown(map)) {
    result.status = {core::Problem::NoMapShown};
    return result;
  }
  result.path = currentDisplayPath(map, areaText);
  CsvFileWriter out;
  if (result.status = out.open(result.path, result.path); !result.status) return result;
  out.appendLine(kHeader);
  const CellFieldTexts fields(map.grid);
  const std::size_t lineLength = fields.maxLength() + kCommaValueSlack + kLineEnd.size();
  const std::int16_t* value = map.cells.data();
  for (int m = 0; m < fields.rows(); ++m) {
    for (int n = 0; n < fields.columns(); ++n) {
      char* end = writeCommaValue(fields.write(out.room(lineLength), m, n), *value++);
      *end++ = '\r';
      *end++ = '\n';
      out.advance(end);
    }
  }
  result.status = out.finish();
  return result;
}

}  // namespace ombrix::exports
