#pragma once

#include <cstdint>

namespace kelvaron
{

// Wall-clock milliseconds since the Unix epoch, truncated: the time base of arrival times,
// stream verdicts and the data-status rate limit.
int64_t wallClockNowMs();

}  // namespace kelvaron
