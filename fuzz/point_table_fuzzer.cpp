// Fuzz target: a CSV set made of the input, "ID answer \0 FileList.txt \0 day file", with the
// day file named 20050701.CSV, and the point table built from it for the answer.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "export/point_table.h"
#include "fuzz/fuzz_scratch.h"

namespace {

// The part of input before the first NUL; input keeps what follows it (nothing if none).
std::span<const std::uint8_t> takePart(std::span<const std::uint8_t>& input) {
  std::size_t end = 0;
  while (end < input.size() && input[end] != 0) ++end;
  const auto part = input.first(end);
  input = input.subspan(end < input.size() ? end + 1 : end);
  return part;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const ombrix::fuzz::ScratchFolder scratch;
  std::span<const std::uint8_t> input(data, size);
  const auto answer = takePart(input);
  scratch.write(std::string(ombrix::exports::kFileListName), takePart(input));
  scratch.write("20050701.CSV", input);
  (void)ombrix::exports::buildPointTable(
      scratch.path(), std::string_view(reinterpret_cast<const char*>(answer.data()), answer.size()));
  scratch.clear();
  return 0;
}
