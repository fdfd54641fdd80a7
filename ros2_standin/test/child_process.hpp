#ifndef ROS2_STANDIN__TEST__CHILD_PROCESS_HPP_
#define ROS2_STANDIN__TEST__CHILD_PROCESS_HPP_

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace standin_test
{

// A second program run by a test, its standard output captured in a file. Killed when the
// test ends before it does.
class ChildProcess
{
public:
  explicit ChildProcess(const std::vector<std::string> & arguments);
  ~ChildProcess();
  ChildProcess(const ChildProcess &) = delete;
  ChildProcess & operator=(const ChildProcess &) = delete;

  // The exit status, or nothing when the program is still running at the deadline.
  std::optional<int> wait_for_exit(std::chrono::milliseconds deadline);

  // Everything written to standard output so far.
  std::string output() const;

private:
  pid_t pid_ = -1;
  std::string output_path_;
};

}  // namespace standin_test

#endif  // ROS2_STANDIN__TEST__CHILD_PROCESS_HPP_
