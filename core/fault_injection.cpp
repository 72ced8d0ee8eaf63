#include "core/fault_injection.h"

#include <signal.h>

#include <atomic>
#include <cstdlib>

namespace ombrix::core {

namespace {

long countFromEnvironment(const char* name) noexcept {
  const char* text = std::getenv(name);
  if (text == nullptr) return 0;
  char* end = nullptr;
  const long k = std::strtol(text, &end, 10);
  return end != text && *end == '\0' && k > 0 ? k : 0;
}

// Raises signal at the call that spends the last of remaining.
void countDown(std::atomic<long>& remaining, int signal) noexcept {
  if (remaining.load(std::memory_order_relaxed) > 0 && remaining.fetch_sub(1) == 1) ::raise(signal);
}

}  // namespace

void testKillPoint() noexcept {
  static std::atomic<long> remaining{countFromEnvironment("OMBRIX_TEST_KILL_AFTER")};
  countDown(remaining, SIGKILL);
}

void testInterruptPoint() noexcept {
  static std::atomic<long> remaining{countFromEnvironment("OMBRIX_TEST_INTERRUPT_AFTER")};
  countDown(remaining, SIGINT);
}

}  // namespace ombrix::core
