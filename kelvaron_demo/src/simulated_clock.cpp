#include "simulated_clock.hpp"

namespace
{

std::chrono::nanoseconds scaled(std::chrono::nanoseconds time, double factor)
{
  return std::chrono::nanoseconds(static_cast<int64_t>(static_cast<double>(time.count()) * factor));
}

}  // namespace

SimulatedClock::SimulatedClock(
  double factor, std::chrono::milliseconds pause_at, std::chrono::milliseconds pause_for)
: factor_(factor), pause_at_(pause_at), pause_for_(pause_for)
{
}

std::chrono::nanoseconds SimulatedClock::at(std::chrono::nanoseconds real) const
{
  const std::chrono::nanoseconds pause_starts = scaled(pause_at_, 1.0 / factor_);
  if (real < pause_starts) {
    return scaled(real, factor_);
  }
  if (real < pause_starts + pause_for_) {
    return pause_at_;
  }
  return scaled(real - pause_for_, factor_);
}
