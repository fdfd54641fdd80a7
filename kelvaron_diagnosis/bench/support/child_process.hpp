#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace kelvaron_bench
{

// A helper program run beside the benchmark; interrupted and reaped at destruction.
class ChildProcess
{
public:
  ChildProcess(const std::string & program, const std::vector<std::string> & arguments);
  ~ChildProcess();
  ChildProcess(const ChildProcess &) = delete;
  ChildProcess & operator=(const ChildProcess &) = delete;

  bool running();

private:
  pid_t pid_{-1};
};

}  // namespace kelvaron_bench
