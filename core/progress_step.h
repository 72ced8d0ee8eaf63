#pragma once
// How far a progress bar advances per step of a long operation.

namespace ombrix::core {

// The width one step adds to a bar of the given width when the work is `units` units long and a
// step is `unitsPerStep` of them: width * unitsPerStep / units, rounded to the nearest whole
// number with ties to even (4095 over 2 units gives 2048); 0 when there are no units.
int progressStep(int width, int units, int unitsPerStep = 1) noexcept;

}  // namespace ombrix::core
