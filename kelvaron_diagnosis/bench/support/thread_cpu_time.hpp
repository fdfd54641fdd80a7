#pragma once

#include <time.h>

namespace kelvaron_bench
{

// CPU time of the calling thread, in seconds. The pass and the raw writes both run on the
// benchmark's thread (Cyclone sends synchronously from dds_write), so timing them by this
// clock leaves out the preemptions of a busy 2-core machine and keeps their ratio steady.
inline double threadCpuSeconds()
{
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

}  // namespace kelvaron_bench
