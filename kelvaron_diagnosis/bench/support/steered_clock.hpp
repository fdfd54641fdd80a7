#pragma once

#include <cstdint>

class Diagnosis;

namespace kelvaron_bench
{

// The wall clock of one object while an instance lives: real time plus an offset that only ever
// grows, so benchmarks can cross rate limits and frame-rate windows without sleeping, and
// objects that outlive one instance never see time go back. The real clock is still read on
// every call, so clock cost stays in the figures.
class SteeredClock
{
public:
  explicit SteeredClock(Diagnosis & diagnosis);
  ~SteeredClock();
  SteeredClock(const SteeredClock &) = delete;
  SteeredClock & operator=(const SteeredClock &) = delete;

  void advanceMs(int64_t milliseconds);

private:
  Diagnosis & diagnosis_;
};

// Real wall-clock milliseconds since the epoch, read as the library reads them.
int64_t realWallClockMs();

}  // namespace kelvaron_bench
