#pragma once
// Child processes for the reliability tests: work run in a forked child under limits (a file
// size limit) with its peak memory measured, and the batch tool run in a child that kills
// itself at a chosen output step.
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
#include <string>
#include <vector>

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

// A setup for runInChild: at most count files open at once.
inline std::function<void()> openFileLimit(rlim_t count) {
  return [count] {
    const rlimit limit{count, count};
    if (::setrlimit(RLIMIT_NOFILE, &limit) != 0) ::_exit(100);
  };
}

// The batch tool run with arguments after setup, its output streams sent to /dev/null, with the
// writers' test hook set to make it raise SIGKILL on itself at its killAfter-th output step (a
// block handed to an output file, or a file complete before it is named). Returns how it ended.
inline ChildOutcome runToolKilledAt(const std::vector<std::string>& arguments, int killAfter,
                                    const std::function<void()>& setup = {}) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (setup) setup();
    std::string tool = std::string(OMBRIX_BIN_DIR) + "/ombrix-tool";
    std::vector<char*> argv{tool.data()};
    std::vector<std::string> words = arguments;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, 1);
    ::dup2(null, 2);
    ::setenv("OMBRIX_TEST_KILL_AFTER", std::to_string(killAfter).c_str(), 1);
    ::execv(tool.c_str(), argv.data());
    ::_exit(127);
  }
  return waitForChild(pid);
}

}  // namespace ombrix::test
