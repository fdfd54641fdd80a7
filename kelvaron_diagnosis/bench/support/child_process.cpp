#include "support/child_process.hpp"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <stdexcept>
#include <thread>

extern char ** environ;

namespace kelvaron_bench
{

ChildProcess::ChildProcess(const std::string & program, const std::vector<std::string> & arguments)
{
  std::vector<std::string> words{program};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char *> argv;
  for (std::string & word : words) {
    argv.push_back(word.data());
  }
  argv.push_back(nullptr);
  if (posix_spawn(&pid_, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
    throw std::runtime_error("cannot start " + program);
  }
}

ChildProcess::~ChildProcess()
{
  if (pid_ <= 0) {
    return;
  }
  kill(pid_, SIGINT);
  // A child stuck in DDS teardown must not hold the benchmark up for long.
  for (int attempt = 0; attempt < 100; ++attempt) {
    if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  kill(pid_, SIGKILL);
  waitpid(pid_, nullptr, 0);
}

bool ChildProcess::running() { return pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) == 0; }

}  // namespace kelvaron_bench
