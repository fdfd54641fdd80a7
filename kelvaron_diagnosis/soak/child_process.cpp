#include "child_process.hpp"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

extern char ** environ;

namespace kelvaron_soak
{

ChildProcess::ChildProcess(const std::vector<std::string> & argv, const std::string & output_file)
{
  std::vector<char *> pointers;
  for (const std::string & arg : argv) {
    pointers.push_back(const_cast<char *>(arg.c_str()));
  }
  pointers.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  ::posix_spawn_file_actions_init(&actions);
  int pipe_fds[2] = {-1, -1};
  if (output_file.empty()) {
    if (::pipe2(pipe_fds, O_CLOEXEC) != 0) {
      ::posix_spawn_file_actions_destroy(&actions);
      return;
    }
    ::posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], STDOUT_FILENO);
  } else {
    ::posix_spawn_file_actions_addopen(
      &actions, STDOUT_FILENO, output_file.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    ::posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
  }
  if (::posix_spawn(&pid_, pointers[0], &actions, nullptr, pointers.data(), environ) != 0) {
    pid_ = -1;
    exit_status_ = 127;  // as a shell reports a program it could not run
  }
  ::posix_spawn_file_actions_destroy(&actions);
  if (pipe_fds[1] >= 0) {
    ::close(pipe_fds[1]);
    pipe_fd_ = pipe_fds[0];
    ::fcntl(pipe_fd_, F_SETFL, O_NONBLOCK);
  }
}

ChildProcess::~ChildProcess()
{
  if (running()) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  if (pipe_fd_ >= 0) {
    ::close(pipe_fd_);
  }
}

void ChildProcess::signal(int number)
{
  if (running()) {
    ::kill(pid_, number);
  }
}

std::optional<int> ChildProcess::poll()
{
  if (pid_ > 0 && !exit_status_) {
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      exit_status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
  }
  return exit_status_;
}

std::vector<std::string> ChildProcess::readLines()
{
  std::vector<std::string> lines;
  if (pipe_fd_ < 0) {
    return lines;
  }
  char buffer[1024];
  for (;;) {
    const ssize_t count = ::read(pipe_fd_, buffer, sizeof(buffer));
    if (count > 0) {
      pending_.append(buffer, static_cast<std::size_t>(count));
    } else if (count < 0 && errno == EINTR) {
      continue;
    } else {
      break;
    }
  }
  std::size_t end = 0;
  while ((end = pending_.find('\n')) != std::string::npos) {
    lines.push_back(pending_.substr(0, end));
    pending_.erase(0, end + 1);
  }
  return lines;
}

}  // namespace kelvaron_soak
