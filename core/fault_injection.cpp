#include "core/fault_injection.h"

#include <signal.h>

#include <atomic>
#include <cstdlib>

namespace ombrix::core {

namespace {
long killAfterFromEnvironment() noexcept {
  const char* text = std::getenv("OMBRIX_TEST_KILL_AFTER");
  if (text == nullptr) return 0;
  char* end = nullptr;
  const long k = std::strtol(text, &end, 10);
  return end != text && *end == '\0' && k > 0 ? k : 0;
}
}  // namespace

void testKillPoint() noexcept {
  static std::atomic<long> remaining{killAfterFromEnvironment()};
  if (remaining.load(std::memory_order_relaxed) > 0 && remaining.fetch_sub(1) == 1) ::raise(SIGKILL);
}

}  // namespace ombrix::core
