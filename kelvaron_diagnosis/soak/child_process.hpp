#pragma once

// A program started by the soak: spawned with its standard output on a pipe we read (or on a
// file), interrupted, reaped. Destruction kills and reaps what is still running.

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace kelvaron_soak
{

class ChildProcess
{
public:
  // With an empty `output_file` the child's standard output comes back through readLines();
  // otherwise its standard output and error go to that file.
  ChildProcess(const std::vector<std::string> & argv, const std::string & output_file = "");
  ~ChildProcess();
  ChildProcess(const ChildProcess &) = delete;
  ChildProcess & operator=(const ChildProcess &) = delete;

  bool started() const { return pid_ > 0; }
  pid_t pid() const { return pid_; }
  void signal(int number);
  // Reaps the child when it has exited: its exit status (128 + signal when killed, 127 when it
  // could not be started).
  std::optional<int> poll();
  bool running() const { return pid_ > 0 && !exit_status_; }
  // Complete lines written since the last call; never blocks.
  std::vector<std::string> readLines();

private:
  pid_t pid_{-1};
  int pipe_fd_{-1};
  std::optional<int> exit_status_;
  std::string pending_;
};

}  // namespace kelvaron_soak
