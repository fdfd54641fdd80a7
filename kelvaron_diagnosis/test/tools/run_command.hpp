#pragma once

// Runs a command line through the shell and returns its exit status and output.

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

struct CommandResult
{
  int exit_code{-1};
  std::string output;  // standard output, followed by standard error when merged
};

inline CommandResult runCommand(const std::string & command_line)
{
  CommandResult result;
  FILE * pipe = popen(command_line.c_str(), "r");
  if (pipe == nullptr) {
    return result;
  }
  std::array<char, 4096> buffer{};
  size_t got = 0;
  while ((got = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
    result.output.append(buffer.data(), got);
  }
  const int status = pclose(pipe);
  result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}
