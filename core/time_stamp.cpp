#include "core/time_stamp.h"

#include <cstdio>

namespace ombrix::core {

std::string stampText(const TimeStamp& stamp, char separator) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d%c%02d:%02d", stamp.year, stamp.month, stamp.day, separator,
                stamp.hour, stamp.minute);
  return text;
}

}  // namespace ombrix::core
