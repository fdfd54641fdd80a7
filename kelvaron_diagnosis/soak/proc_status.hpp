#pragma once

// What /proc tells about another process: resident memory and threads.

#include <sys/types.h>

#include <cstdint>

namespace kelvaron_soak
{

struct ProcStatus
{
  int64_t rss_kib{-1};
  int64_t threads{-1};
};

// From /proc/PID/status; both -1 when the process is gone.
ProcStatus readProcStatus(pid_t pid);

}  // namespace kelvaron_soak
