#pragma once
// TEST HOOKS, not features. With OMBRIX_TEST_KILL_AFTER=k (k >= 1) in the environment, the k-th
// call of testKillPoint() in the process raises SIGKILL on the process itself, so that a test
// can interrupt a writer at a known point instead of racing it. Output files call it after each
// block they are handed (a frame of a preprocessed file, a buffer of CSV text, a day file) and
// once more when a file is complete, before it is named or renamed over its target. Without the
// variable a call costs one atomic decrement of a counter that is already spent.
//
// With OMBRIX_TEST_INTERRUPT_AFTER=k, the k-th call of testInterruptPoint() raises SIGINT, as a
// user's Ctrl-C would: the batch tool calls it each time a long operation asks whether to stop.
namespace ombrix::core {

void testKillPoint() noexcept;
void testInterruptPoint() noexcept;

}  // namespace ombrix::core
