#pragma once

#include <cstdint>

namespace kelvaron_bench
{

// The library's wall clock while an instance lives: real time plus an offset that only ever
// grows, so benchmarks can cross rate limits and frame-rate windows without sleeping, and
// objects that outlive one instance never see time go back. The real clock is still read on
// every call, so clock cost stays in the figures.
class SteeredClock
{
public:
  SteeredClock();
  ~SteeredClock();
  SteeredClock(const SteeredClock &) = delete;
  SteeredClock & operator=(const SteeredClock &) = delete;

  void advanceMs(int64_t milliseconds);
};

// Real wall-clock milliseconds since the epoch, read as the library reads them.
int64_t realWallClockMs();

}  // namespace kelvaron_bench
