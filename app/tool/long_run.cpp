#include "app/tool/long_run.h"

#include <csignal>

#include "core/fault_injection.h"

namespace ombrix::tool {

namespace {

volatile std::sig_atomic_t interrupted = 0;

extern "C" void noteInterrupt(int) { interrupted = 1; }

}  // namespace

LongRun::LongRun(std::string label) : bar_(std::move(label)) {
  interrupted = 0;
  struct sigaction action {};
  action.sa_handler = noteInterrupt;
  action.sa_flags = SA_RESETHAND;  // the second Ctrl-C is the default's
  sigemptyset(&action.sa_mask);
  ::sigaction(SIGINT, &action, &previous_);
  // A tool started with Ctrl-C ignored (in the background of a shell) keeps ignoring it.
  if (previous_.sa_handler == SIG_IGN) ::sigaction(SIGINT, &previous_, nullptr);
  callbacks_.progress = [this](std::int64_t done, std::int64_t total) { bar_.update(done, total); };
  callbacks_.cancelled = [] {
    core::testInterruptPoint();
    return interrupted != 0;
  };
}

LongRun::~LongRun() { ::sigaction(SIGINT, &previous_, nullptr); }

}  // namespace ombrix::tool
