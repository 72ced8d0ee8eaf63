#include "core/problem.h"

#include <gtest/gtest.h>

namespace ombrix::core {
namespace {

// message() is the only place a problem becomes text: a problem without a case, or with an
// empty text, would reach the user as an empty message box.
TEST(ProblemMessage, EveryProblemIsWordedUnlessDeliberatelySilent) {
  constexpr int kLast = static_cast<int>(Problem::UsageError);  // the last value of the enum
  for (int p = 0; p <= kLast; ++p) {
    const Status status{static_cast<Problem>(p), "subject", {.reason = "1"}};
    EXPECT_EQ(message(status).empty(), silent(status.problem)) << "problem " << p;
  }
}

}  // namespace
}  // namespace ombrix::core
