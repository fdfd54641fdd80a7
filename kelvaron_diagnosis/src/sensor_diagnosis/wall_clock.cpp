#include "sensor_diagnosis/wall_clock.hpp"

#include <chrono>

namespace kelvaron
{

int64_t wallClockNowMs()
{
  const auto since_epoch = std::chrono::system_clock::now().time_since_epoch();
  return std::chrono::duration_cast<std::chrono::nanoseconds>(since_epoch).count() / 1000000;
}

}  // namespace kelvaron
