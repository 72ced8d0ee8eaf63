#include "core/progress_step.h"

#include <cmath>

namespace ombrix::core {

int progressStep(int width, int units, int unitsPerStep) noexcept {
  if (units <= 0) return 0;
  return static_cast<int>(std::lrint(static_cast<double>(width) * unitsPerStep / static_cast<double>(units)));
}

}  // namespace ombrix::core
