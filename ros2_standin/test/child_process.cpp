#include "child_process.hpp"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

extern char ** environ;

namespace standin_test
{

ChildProcess::ChildProcess(const std::vector<std::string> & arguments)
{
  char path_template[] = "/tmp/standin_child_XXXXXX";
  const int fd = mkstemp(path_template);
  if (fd < 0) {
    throw std::runtime_error("mkstemp failed");
  }
  output_path_ = path_template;

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fd, STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, fd);

  std::vector<char *> argv;
  for (const auto & argument : arguments) {
    argv.push_back(const_cast<char *>(argument.c_str()));
  }
  argv.push_back(nullptr);
  const int result = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(fd);
  if (result != 0) {
    pid_ = -1;
    throw std::runtime_error("posix_spawn failed for " + arguments.front());
  }
}

ChildProcess::~ChildProcess()
{
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  unlink(output_path_.c_str());
}

std::optional<int> ChildProcess::wait_for_exit(std::chrono::milliseconds deadline)
{
  const auto end = std::chrono::steady_clock::now() + deadline;
  for (;;) {
    int status = 0;
    const pid_t done = waitpid(pid_, &status, WNOHANG);
    if (done == pid_) {
      pid_ = -1;
      return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    if (std::chrono::steady_clock::now() >= end) {
      return std::nullopt;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

std::string ChildProcess::output() const
{
  std::ifstream file(output_path_);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

}  // namespace standin_test
