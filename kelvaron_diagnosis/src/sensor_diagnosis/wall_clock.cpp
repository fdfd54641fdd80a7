#include "sensor_diagnosis/wall_clock.hpp"

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

namespace kelvaron
{
namespace
{

using ClockFunction = std::function<int64_t()>;

// Read on every report and pass, so the common case costs one atomic load.
std::atomic<const ClockFunction *> g_clock_override{nullptr};

}  // namespace

int64_t wallClockNowMs()
{
  if (const ClockFunction * replaced = g_clock_override.load(std::memory_order_acquire)) {
    return (*replaced)();
  }
  const auto since_epoch = std::chrono::system_clock::now().time_since_epoch();
  return std::chrono::duration_cast<std::chrono::nanoseconds>(since_epoch).count() / 1000000;
}

void setWallClockForTesting(std::function<int64_t()> clock)
{
  // Every installed clock stays alive until the process ends, so a thread that loaded the
  // previous pointer never calls a destroyed function.
  static std::mutex keep_alive_mutex;
  static std::vector<std::unique_ptr<ClockFunction>> keep_alive;
  if (!clock) {
    g_clock_override.store(nullptr, std::memory_order_release);
    return;
  }
  std::lock_guard<std::mutex> lock(keep_alive_mutex);
  keep_alive.push_back(std::make_unique<ClockFunction>(std::move(clock)));
  g_clock_override.store(keep_alive.back().get(), std::memory_order_release);
}

}  // namespace kelvaron
