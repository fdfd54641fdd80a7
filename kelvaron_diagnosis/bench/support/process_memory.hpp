#pragma once

#include <sys/types.h>

#include <cstdlib>
#include <fstream>
#include <string>

// A process's peak resident set size so far (VmHWM in /proc/PID/status), in kB; 0 when the
// process is gone.
inline long peakRssKb(pid_t pid)
{
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) {
      return std::atol(line.c_str() + 6);
    }
  }
  return 0;
}
