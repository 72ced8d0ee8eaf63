#pragma once
// What a long operation (preprocessing, an export, areal rainfall, a duration map) is handed by
// its caller: where pending user-interface events run, where progress goes, and how the caller
// asks it to stop. Each front end fills in what it needs; an empty callback is not called.
#include <cstdint>
#include <functional>

#include "core/problem.h"

namespace ombrix::core {

struct OperationCallbacks {
  // Lets pending user-interface events run.
  std::function<void()> yield;
  // How far the operation has got of its total, in its own units (frames or files begun, the
  // width of a bar), as each operation's declaration says.
  std::function<void(std::int64_t done, std::int64_t total)> progress;
  // Whether the caller asks the operation to stop. An operation that stops abandons what it was
  // writing before it is named, so the target stays as it was, and returns Problem::Cancelled.
  std::function<bool()> cancelled;

  // One step, called before its work: yield, progress, then the question; Cancelled when the
  // caller asked to stop.
  Status step(std::int64_t done, std::int64_t total) const;
};

}  // namespace ombrix::core
