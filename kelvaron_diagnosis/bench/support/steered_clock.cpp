#include "support/steered_clock.hpp"

#include <atomic>
#include <chrono>

#include "support/diagnosis_test_access.hpp"

namespace kelvaron_bench
{
namespace
{

std::atomic<int64_t> g_offset_ms{0};

}  // namespace

int64_t realWallClockMs()
{
  const auto since_epoch = std::chrono::system_clock::now().time_since_epoch();
  return std::chrono::duration_cast<std::chrono::nanoseconds>(since_epoch).count() / 1000000;
}

SteeredClock::SteeredClock(Diagnosis & diagnosis) : diagnosis_(diagnosis)
{
  DiagnosisTestAccess::setWallClock(
    diagnosis_, [] { return realWallClockMs() + g_offset_ms.load(std::memory_order_relaxed); });
}

SteeredClock::~SteeredClock() { DiagnosisTestAccess::setWallClock(diagnosis_, nullptr); }

void SteeredClock::advanceMs(int64_t milliseconds)
{
  g_offset_ms.fetch_add(milliseconds, std::memory_order_relaxed);
}

}  // namespace kelvaron_bench
