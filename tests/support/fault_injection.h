#pragma once
// Child processes for the reliability tests: work run in a forked child under limits (a file
// size limit, an unprivileged user) with its peak memory measured, and the batch tool run in
// a child that kills itself at a chosen output step.
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <filesystem>
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

// Runs body in a forked child after setup and returns the text it produced (through a pipe),
// so a test can check a message made under limits it must not take on itself.
inline std::string textFromChild(const std::function<std::string()>& body, const std::function<void()>& setup) {
  int ends[2];
  if (::pipe(ends) != 0) return "pipe failed";
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(ends[0]);
    if (setup) setup();
    const std::string text = body();
    const bool written = ::write(ends[1], text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ::_exit(written ? 0 : 1);
  }
  ::close(ends[1]);
  std::string text;
  char buffer[4096];
  for (ssize_t n; (n = ::read(ends[0], buffer, sizeof buffer)) != 0;) {
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) break;
    text.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(ends[0]);
  const ChildOutcome outcome = waitForChild(pid);
  if (outcome.exitCode != 0) text += " [child ended with " + std::to_string(outcome.exitCode) + "/" +
                                     std::to_string(outcome.signal) + "]";
  return text;
}

// Setups for runInChild and textFromChild.
// Writes beyond bytes fail with EFBIG instead of raising SIGXFSZ.
inline std::function<void()> fileSizeLimit(rlim_t bytes) {
  return [bytes] {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{bytes, bytes};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(100);
  };
}

// The unprivileged user "nobody", for which permission bits hold (root ignores them).
inline constexpr uid_t kNobody = 65534;
inline void becomeNobody() {
  if (::geteuid() == 0 && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) ::_exit(101);
}

// Makes folder readable but not writable for everybody, its files readable, and every folder
// above it up to the temporary directory passable, so that "nobody" can read the inputs.
inline void makeReadOnlyFolder(const std::filesystem::path& folder) {
  namespace fs = std::filesystem;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    fs::permissions(entry.path(), entry.is_directory() ? fs::perms(0555) : fs::perms(0444));
  }
  fs::permissions(folder, fs::perms(0555));
  for (fs::path p = folder.parent_path(); p.has_relative_path() && p != fs::temp_directory_path();
       p = p.parent_path()) {
    fs::permissions(p, fs::perms::others_exec | fs::perms::group_exec, fs::perm_options::add);
  }
}

// Gives the owner back write access so the folder can be removed.
inline void makeWritableAgain(const std::filesystem::path& folder) {
  namespace fs = std::filesystem;
  fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add);
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add);
  }
}

// The batch tool run with arguments, its output streams sent to /dev/null, with the writers'
// test hook set to make it raise SIGKILL on itself at its killAfter-th output step (a block
// handed to an output file, or a file complete before its rename). Returns how it ended.
inline ChildOutcome runToolKilledAt(const std::vector<std::string>& arguments, int killAfter) {
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
    ::setenv("OMBRIX_TEST_KILL_AFTER", std::to_string(killAfter).c_str(), 1);
    ::execv(tool.c_str(), argv.data());
    ::_exit(127);
  }
  return waitForChild(pid);
}

// Names in folder, hidden ones included.
inline std::vector<std::string> namesIn(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    names.push_back(entry.path().filename().string());
  }
  return names;
}

inline bool endsWith(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace ombrix::test
