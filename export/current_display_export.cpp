#include "export/current_display_export.h"

#include <string>

#include "core/region_table.h"
#include "export/csv_file_writer.h"
#include "export/csv_number_format.h"

namespace ombrix::exports {

namespace {

constexpr std::string_view kHeader = "ID,M,N,Keido,Ido,Value";

}  // namespace

bool mapShown(const core::AnalysisConditions& c) noexcept {
  return !c.frameLabel.empty() && c.header.gridRows > 0 && c.header.gridCols > 0 &&
         c.rainGrid.size() == c.header.cellCount();
}

std::filesystem::path currentDisplayPath(const core::AnalysisConditions& conditions, std::string_view areaText) {
  std::string name(core::regionCodeForName(areaText));
  name.append(conditions.frameLabel).append(".CSV");
  return std::filesystem::path(conditions.openRmdDir) / name;
}

CurrentDisplayResult exportCurrentDisplay(const core::AnalysisConditions& conditions, std::string_view areaText) {
  CurrentDisplayResult result;
  if (!mapShown(conditions)) {
    result.status = {core::Problem::NoMapShown};
    return result;
  }
  result.path = currentDisplayPath(conditions, areaText);
  CsvFileWriter out;
  if (result.status = out.open(result.path, result.path); !result.status) return result;
  out.appendLine(kHeader);
  const CellFieldTexts fields(conditions.grid);
  const std::size_t lineLength = fields.maxLength() + kCommaValueSlack + kLineEnd.size();
  const std::int16_t* value = conditions.rainGrid.data();
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
