#pragma once
// --by year|month of the commands that take duration maxima (areal, export-duration-max): the
// maxima of each calendar year or month of the frames' times instead of the whole range.
#include <string>

#include "app/tool/tool_command.h"
#include "gis/duration_maxima.h"

namespace ombrix::tool {

inline CLI::Option* addMaximaPeriodsOption(CLI::App& command, std::string& by, const std::string& description) {
  return command.add_option("--by", by, description)->type_name("year|month")->check(CLI::IsMember({"year", "month"}));
}

// The periods --by names: the whole range when it was not given.
inline gis::MaximaPeriods maximaPeriodsOf(const std::string& by) {
  if (by == "year") return gis::MaximaPeriods::Year;
  return by == "month" ? gis::MaximaPeriods::Month : gis::MaximaPeriods::Whole;
}

}  // namespace ombrix::tool
