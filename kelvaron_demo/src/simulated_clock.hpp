#pragma once

#include <chrono>

// Simulated time as a simulator runs it: `factor` times real time from zero, standing still for
// `pause_for` of real time once it reaches `pause_at`.
class SimulatedClock
{
public:
  SimulatedClock(
    double factor, std::chrono::milliseconds pause_at, std::chrono::milliseconds pause_for);

  // Simulated time after `real` of real time.
  std::chrono::nanoseconds at(std::chrono::nanoseconds real) const;

private:
  double factor_;
  std::chrono::nanoseconds pause_at_;
  std::chrono::nanoseconds pause_for_;
};
