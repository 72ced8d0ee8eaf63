#pragma once
// The folder of the running executable, where the base map and the sample fields are installed.
#include <filesystem>

namespace ombrix::core {

// The running executable's folder; the current folder when it cannot be found.
std::filesystem::path programFolder();

}  // namespace ombrix::core
