#include "core/problem.h"

#include <gtest/gtest.h>

#include <string>

namespace ombrix::core {
namespace {

// The values a message shows are given by name: values in a row, which could change places
// unseen, do not compile.
template <class... Values>
concept Positional = requires(Values... values) { Details{values...}; };
static_assert(!Positional<std::string> && !Positional<std::string, std::string> && !Positional<int, int>);
static_assert(requires { Details{.mostDays = 31, .periodDays = 40}; });

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
