// The plain reference of the start-up benchmark: a C++ program that starts, writes one line
// through iostream and ends. Given a program and its arguments, it runs that program instead
// (its output discarded) and prints the program's peak memory in kilobytes: a child of this
// small process starts with this process's few pages, where a child of the benchmark would be
// charged with the benchmark's own memory, as the peak counts the pages before exec too.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <iostream>

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cout << "minimal\n";
    return 0;
  }
  const pid_t child = ::fork();
  if (child == 0) {
    const int quiet = ::open("/dev/null", O_WRONLY);
    ::dup2(quiet, 1);
    ::dup2(quiet, 2);
    ::execv(argv[1], argv + 1);
    ::_exit(127);
  }
  int status = 0;
  rusage usage{};
  if (child < 0 || ::wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    return 1;
  }
  std::cout << usage.ru_maxrss << "\n";
  return 0;
}
