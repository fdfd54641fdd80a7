#pragma once

// What /proc tells about another process (resident memory, threads, CPU time) and about the
// machine (load).

#include <sys/types.h>

#include <cstdint>

namespace kelvaron_soak
{

struct ProcStatus
{
  int64_t rss_kib{-1};
  // The two parts of RSS that can grow: memory the process allocated, and pages of its mapped
  // files (code and data of its libraries) touched so far.
  int64_t rss_anon_kib{-1};
  int64_t rss_file_kib{-1};
  int64_t threads{-1};
  double cpu_seconds{-1};  // user and system time so far
};

// From /proc/PID/status and /proc/PID/stat; all -1 when the process is gone.
ProcStatus readProcStatus(pid_t pid);
// The one-minute load average; -1 when unknown.
double loadAverage();

}  // namespace kelvaron_soak
