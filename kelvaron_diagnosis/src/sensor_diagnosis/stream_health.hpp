#pragma once

// The verdict logic of the health checks, free of locks, clocks and ROS: every function takes
// the pass's (or the report's) time so boundaries can be tested with chosen times.

#include <cstdint>
#include <deque>

#include "sensor_diagnosis.hpp"

namespace kelvaron
{

// Frames younger than this, or exactly this old, count towards the frame rate.
constexpr int64_t kFrameRateWindowMs = 1000;

// Drops window entries older than kFrameRateWindowMs at `now_ms`, and any dated after it (left
// by a backward step of the wall clock).
void trimWindow(std::deque<int64_t> & timestamps, int64_t now_ms);

// Records one frame of a registered stream that arrived at `now_ms`: window, last arrival and
// the current run (a gap longer than the cut-off starts a new one).
void recordFrame(SensorState & state, const SensorThreshold & threshold, int64_t now_ms);

enum class StreamVerdict
{
  kNormal,
  kTimeout,
};

// The time-out verdict at `now_ms`. First credits the current run towards recovery (raising,
// never lowering, recovery_count) when the run's latest frame is within the cut-off.
StreamVerdict judgeStream(SensorState & state, const SensorThreshold & threshold, int64_t now_ms);

// After the verdict was published: no credit after a time-out, full credit after normal.
void settleRecovery(SensorState & state, const SensorThreshold & threshold, StreamVerdict verdict);

// Remembers a published time-out verdict, counting each turn from normal to time-out.
void noteStreamVerdict(SensorState & state, StreamVerdict verdict);

enum class FrameRateVerdict
{
  kSilent,  // nothing to publish: no frames in the window, or a low spell within its hold time
  kLow,     // low for longer than abnormal_duration_ms
  kNormal,
};

// The frame-rate verdict at `now_ms`; trims the window and tracks the low-rate spell.
FrameRateVerdict judgeFrameRate(
  SensorState & state, const SensorThreshold & threshold, int64_t now_ms);

// Remembers a pass's frame-rate verdict, counting each turn to a low rate once per spell.
void noteFrameRateVerdict(SensorState & state, FrameRateVerdict verdict);

// Milliseconds since the Unix epoch of a header stamp.
int64_t stampMs(int32_t sec, uint32_t nanosec);

}  // namespace kelvaron
