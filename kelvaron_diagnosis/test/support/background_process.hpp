#pragma once

// A program run beside a test or a benchmark: started at construction; at destruction, unless
// stopped before, interrupted and reaped (killed when it does not end within five seconds).

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

extern char ** environ;

class BackgroundProcess
{
public:
  // With `quiet_stdout`, the program's standard output goes to /dev/null.
  explicit BackgroundProcess(std::vector<std::string> argv, bool quiet_stdout = false)
  {
    std::vector<char *> pointers;
    for (std::string & arg : argv) {
      pointers.push_back(arg.data());
    }
    pointers.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    if (quiet_stdout) {
      ::posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    }
    if (::posix_spawn(&pid_, pointers[0], &actions, nullptr, pointers.data(), environ) != 0) {
      pid_ = -1;
    }
    ::posix_spawn_file_actions_destroy(&actions);
  }
  ~BackgroundProcess()
  {
    if (pid_ > 0) {
      stop(SIGINT, std::chrono::seconds(5));
    }
    if (pid_ > 0) {  // still running
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  BackgroundProcess(const BackgroundProcess &) = delete;
  BackgroundProcess & operator=(const BackgroundProcess &) = delete;

  bool started() const { return pid_ > 0; }
  pid_t pid() const { return pid_; }

  // Sends `signal` and waits up to `limit` for the exit; the exit status, or nothing when the
  // process did not exit normally in time (it is then killed at destruction).
  std::optional<int> stop(int signal, std::chrono::seconds limit = std::chrono::seconds(20))
  {
    if (pid_ <= 0) {
      return std::nullopt;
    }
    ::kill(pid_, signal);
    const auto until = std::chrono::steady_clock::now() + limit;
    int status = 0;
    while (::waitpid(pid_, &status, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() > until) {
        return std::nullopt;  // still running
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    pid_ = -1;
    return WIFEXITED(status) ? std::optional<int>(WEXITSTATUS(status)) : std::nullopt;
  }

private:
  pid_t pid_{-1};
};
