#include "core/operation_callbacks.h"

namespace ombrix::core {

Status OperationCallbacks::step(std::int64_t done, std::int64_t total) const {
  if (yield) yield();
  if (progress) progress(done, total);
  if (cancelled && cancelled()) return {Problem::Cancelled};
  return {};
}

}  // namespace ombrix::core
