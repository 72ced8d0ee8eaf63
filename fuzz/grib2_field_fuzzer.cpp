// Fuzz target: one GRIB2 rainfall message decoded from memory, and the same bytes read as a file
// header only (a file in memory), which must give what a header-only decode of them gives.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "import/grib2_field.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace ombrix::import;
  Grib2Field field;
  (void)decodeGrib2Field(std::span(data, size), field);
  static const int file = ::memfd_create("grib2", MFD_CLOEXEC);
  if (file < 0 || ::ftruncate(file, 0) != 0 || ::pwrite(file, data, size, 0) != static_cast<ssize_t>(size)) {
    std::abort();
  }
  const ombrix::core::Problem header = decodeGrib2Field(std::span(data, size), field, Grib2Content::HeaderOnly);
  if (readGrib2File("/proc/self/fd/" + std::to_string(file), field, Grib2Content::HeaderOnly).problem != header) {
    std::abort();
  }
  return 0;
}
