#pragma once
// An output never replaces one of the files it is made from: a path chosen for an output that
// names one of the inputs (the same file, by device and inode, also through hard or symbolic
// links) is refused before anything is written.
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "core/problem.h"

namespace ombrix::core {

// Whether both paths name one existing file; false when either names none.
bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b) noexcept;

// Refused (OutputIsInput, subject: output) when output names one of inputs; empty inputs are
// skipped. The second form takes a list of files such as the archive's day files.
Status checkOutputNotInput(const std::filesystem::path& output, std::initializer_list<std::filesystem::path> inputs);
Status checkOutputNotInput(const std::filesystem::path& output, const std::vector<std::string>& inputs);

}  // namespace ombrix::core
