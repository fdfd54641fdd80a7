#pragma once

#include <cstdint>
#include <functional>

namespace kelvaron
{

// Wall-clock milliseconds since the Unix epoch, truncated: the time base of arrival times,
// stream verdicts and the data-status rate limit.
int64_t wallClockNowMs();

// Replaces the wall clock for the library's tests (an empty function restores the real one).
// Not installed and not exported: hosts cannot reach it.
void setWallClockForTesting(std::function<int64_t()> clock);

}  // namespace kelvaron
