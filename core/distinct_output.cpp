#include "core/distinct_output.h"

#include <sys/stat.h>

#include <algorithm>

namespace ombrix::core {

namespace {
template <typename Inputs>
Status checkAgainst(const std::filesystem::path& output, const Inputs& inputs) {
  const bool named = std::ranges::any_of(inputs, [&](const auto& input) { return sameFile(output, input); });
  return named ? Status{Problem::OutputIsInput, output} : Status{};
}
}  // namespace

bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b) noexcept {
  struct stat first {};
  struct stat second {};
  if (a.empty() || b.empty() || ::stat(a.c_str(), &first) != 0 || ::stat(b.c_str(), &second) != 0) return false;
  return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

Status checkOutputNotInput(const std::filesystem::path& output, std::initializer_list<std::filesystem::path> inputs) {
  return checkAgainst(output, inputs);
}

Status checkOutputNotInput(const std::filesystem::path& output, const std::vector<std::string>& inputs) {
  return checkAgainst(output, inputs);
}

}  // namespace ombrix::core
