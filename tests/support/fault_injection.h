#pragma once
// Child processes for the reliability tests: work run in a forked child under limits (a file
// size limit) with its peak memory measured, and the batch tool run in
// a child that the test can kill at a chosen moment.
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "support/test_support.h"

namespace ombrix::test {

struct ChildOutcome {
  int exitCode = -1;  // when the child exited
  int signal = 0;     // when a signal ended it
  long peakKilobytes = 0;
};

inline ChildOutcome waitForChild(pid_t pid) {
  ChildOutcome outcome;
  int status = 0;
  rusage usage{};
  while (::wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(status)) outcome.exitCode = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) outcome.signal = WTERMSIG(status);
  outcome.peakKilobytes = usage.ru_maxrss;
  return outcome;
}

// Runs body in a forked child after setup; the child's exit code is body's result.
inline ChildOutcome runInChild(const std::function<int()>& body, const std::function<void()>& setup = {}) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (setup) setup();
    ::_exit(body());
  }
  return waitForChild(pid);
}

// A setup for runInChild: writes beyond bytes fail with EFBIG instead of raising SIGXFSZ.
inline std::function<void()> fileSizeLimit(rlim_t bytes) {
  return [bytes] {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{bytes, bytes};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(100);
  };
}

// The batch tool started with arguments, its output streams sent to /dev/null.
inline pid_t startTool(const std::vector<std::string>& arguments) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    std::string tool = std::string(OMBRIX_BIN_DIR) + "/ombrix-tool";
    std::vector<char*> argv{tool.data()};
    std::vector<std::string> words = arguments;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, 1);
    ::dup2(null, 2);
    ::execv(tool.c_str(), argv.data());
    ::_exit(127);
  }
  return pid;
}

// Watches the child until ready() holds, then kills it with SIGKILL. Gives up (and lets the
// child finish) after a few seconds. Returns how the child ended.
inline ChildOutcome killWhen(pid_t pid, const std::function<bool()>& ready) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (std::chrono::steady_clock::now() < deadline) {
    if (ready()) {
      ::kill(pid, SIGKILL);
      break;
    }
    siginfo_t info{};
    if (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == pid) {
      break;  // ended by itself
    }
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  return waitForChild(pid);
}

inline bool endsWith(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace ombrix::test
