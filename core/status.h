#pragma once
// The outcome of an operation that can be refused: success, or the message the user must read.
#include <string>
#include <utility>

namespace ombrix::core {

struct Status {
  bool ok = true;
  std::string message;  // the user's message when !ok; empty on success

  static Status success() { return {}; }
  static Status failure(std::string text) { return {false, std::move(text)}; }
  explicit operator bool() const noexcept { return ok; }
};

}  // namespace ombrix::core
