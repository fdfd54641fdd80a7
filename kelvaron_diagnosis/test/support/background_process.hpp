#pragma once

// A program run beside a test: started at construction, killed and reaped at destruction
// unless the test stopped it first.

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
  explicit BackgroundProcess(std::vector<std::string> argv)
  {
    std::vector<char *> pointers;
    for (std::string & arg : argv) {
      pointers.push_back(arg.data());
    }
    pointers.push_back(nullptr);
    if (::posix_spawn(&pid_, pointers[0], nullptr, nullptr, pointers.data(), environ) != 0) {
      pid_ = -1;
    }
  }
  ~BackgroundProcess()
  {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  BackgroundProcess(const BackgroundProcess &) = delete;
  BackgroundProcess & operator=(const BackgroundProcess &) = delete;

  bool started() const { return pid_ > 0; }

  // Sends `signal` and waits up to `limit` for the exit; the exit status, or nothing when the
  // process did not exit normally in time (it is then killed).
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
        return std::nullopt;  // the destructor kills it
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    pid_ = -1;
    return WIFEXITED(status) ? std::optional<int>(WEXITSTATUS(status)) : std::nullopt;
  }

private:
  pid_t pid_{-1};
};
