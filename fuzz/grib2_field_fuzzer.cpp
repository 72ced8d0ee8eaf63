// Fuzz target: one GRIB2 rainfall message decoded from memory.
#include <cstddef>
#include <cstdint>
#include <span>

#include "import/grib2_field.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ombrix::import::Grib2Field field;
  (void)ombrix::import::decodeGrib2Field(std::span(data, size), field);
  return 0;
}
