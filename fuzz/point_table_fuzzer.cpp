// Fuzz target: a CSV set in memory made of the input, "ID answer \0 FileList.txt \0 day file
// \0 day file ...", the k-th day file stored under the k-th name the list gives, and the point
// table built from it for the answer. The files are handed over in small blocks, as the folder
// hands over large ones, so that lines are split across blocks.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "core/number_text.h"
#include "export/point_table.h"

namespace {

constexpr std::size_t kBlockSize = 61;

class ChoppedSet final : public ombrix::exports::CsvSetFiles {
 public:
  explicit ChoppedSet(std::map<std::string, std::string, std::less<>> files) : files_(std::move(files)) {}
  bool has(const std::string& name) const override { return files_.contains(name); }
  bool read(const std::string& name, const std::function<bool(std::string_view)>& consume) const override {
    const auto file = files_.find(name);
    if (file == files_.end()) return false;
    std::string_view rest = file->second;
    while (!rest.empty() && consume(rest.substr(0, kBlockSize))) rest.remove_prefix(std::min(kBlockSize, rest.size()));
    return true;
  }
  std::string shownName(const std::string& name) const override { return name; }

 private:
  std::map<std::string, std::string, std::less<>> files_;
};

// The part of input before the first NUL; input keeps what follows it (nothing if none).
std::string_view takePart(std::string_view& input) {
  const std::size_t end = std::min(input.find('\0'), input.size());
  const std::string_view part = input.substr(0, end);
  input.remove_prefix(end < input.size() ? end + 1 : end);
  return part;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  const auto cellId = ombrix::core::parseWholeNumber(takePart(input));
  if (!cellId) return 0;
  const std::string_view list = takePart(input);
  std::map<std::string, std::string, std::less<>> files{{std::string(ombrix::exports::kFileListName), std::string(list)}};
  for (const ombrix::exports::ListedName& listed : ombrix::exports::parseFileList(list)) {
    if (input.empty()) break;
    files.emplace(listed.name, takePart(input));
  }
  (void)ombrix::exports::makePointTable(ChoppedSet(std::move(files)), *cellId);
  return 0;
}
