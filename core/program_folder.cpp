#include "core/program_folder.h"

#include <system_error>

namespace ombrix::core {

std::filesystem::path programFolder() {
  std::error_code error;
  const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::filesystem::current_path(error) : executable.parent_path();
}

}  // namespace ombrix::core
