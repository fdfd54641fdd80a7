#include "sensor_diagnosis/stream_health.hpp"

#include <algorithm>

namespace kelvaron
{

void trimWindow(std::deque<int64_t> & timestamps, int64_t now_ms)
{
  while (!timestamps.empty() && now_ms - timestamps.front() > kFrameRateWindowMs) {
    timestamps.pop_front();
  }
  // Entries dated after now were recorded before the wall clock was stepped back; recordFrame
  // keeps the window ordered, so they can only sit at the back.
  while (!timestamps.empty() && timestamps.back() > now_ms) {
    timestamps.pop_back();
  }
}

void recordFrame(SensorState & state, const SensorThreshold & threshold, int64_t now_ms)
{
  const bool continues_run =
    state.run_frames > 0 && now_ms - state.run_last_ms <= threshold.cutoff_timeout_ms;
  state.run_frames = continues_run ? state.run_frames + 1 : 1;
  state.run_last_ms = now_ms;

  state.last_receive_ms = now_ms;
  ++state.frames_total;
  // Trimming first drops entries from before a backward clock step, which keeps the window
  // ordered; trimming at all keeps it bounded when the timer is stopped or never started.
  trimWindow(state.timestamps, now_ms);
  state.timestamps.push_back(now_ms);
}

StreamVerdict judgeStream(SensorState & state, const SensorThreshold & threshold, int64_t now_ms)
{
  // After the wall clock was stepped back, times in the future would hide a dead stream for
  // as long as the step: count from now instead, so it times out one cut-off later.
  state.last_receive_ms = std::min(state.last_receive_ms, now_ms);
  state.run_last_ms = std::min(state.run_last_ms, now_ms);
  const bool run_is_live =
    state.run_frames > 0 && now_ms - state.run_last_ms <= threshold.cutoff_timeout_ms;
  if (run_is_live) {
    state.recovery_count = std::max(state.recovery_count, state.run_frames);
  }
  const int64_t elapsed = now_ms - state.last_receive_ms;
  const bool timed_out = elapsed > threshold.cutoff_timeout_ms ||
                         state.recovery_count < threshold.cutoff_recovery_threshold;
  return timed_out ? StreamVerdict::kTimeout : StreamVerdict::kNormal;
}

void settleRecovery(SensorState & state, const SensorThreshold & threshold, StreamVerdict verdict)
{
  state.recovery_count =
    verdict == StreamVerdict::kTimeout ? 0 : threshold.cutoff_recovery_threshold;
}

void noteStreamVerdict(SensorState & state, StreamVerdict verdict)
{
  constexpr int8_t kNormal = 1;
  constexpr int8_t kTimeout = 2;
  const int8_t now = verdict == StreamVerdict::kTimeout ? kTimeout : kNormal;
  // A stream that never read normal has not gone into a time-out: it never came up.
  if (now == kTimeout && state.timeout_verdict == kNormal) {
    ++state.timeouts_total;
  }
  state.timeout_verdict = now;
}

void noteFrameRateVerdict(SensorState & state, FrameRateVerdict verdict)
{
  constexpr int8_t kNormal = 1;
  constexpr int8_t kLow = 2;
  state.frame_rate_spoke = verdict != FrameRateVerdict::kSilent;
  if (!state.frame_rate_spoke) {
    return;
  }
  const int8_t now = verdict == FrameRateVerdict::kLow ? kLow : kNormal;
  if (now == kLow && state.frame_rate_verdict != kLow) {
    ++state.low_rate_spells_total;
  }
  state.frame_rate_verdict = now;
}

int64_t stampMs(int32_t sec, uint32_t nanosec)
{
  return static_cast<int64_t>(sec) * 1000 + static_cast<int64_t>(nanosec / 1000000U);
}

FrameRateVerdict judgeFrameRate(
  SensorState & state, const SensorThreshold & threshold, int64_t now_ms)
{
  if (state.timestamps.empty()) {
    return FrameRateVerdict::kSilent;
  }
  trimWindow(state.timestamps, now_ms);
  const auto frames_in_window = static_cast<float>(state.timestamps.size());
  const float limit = threshold.normal_hz * threshold.low_ratio;
  // A NaN limit compares false and so reads as a normal rate.
  if (!(limit > frames_in_window)) {
    state.abnormal_start_ms = 0;
    return FrameRateVerdict::kNormal;
  }
  // A spell that started "in the future" began before a backward clock step: restart it.
  if (state.abnormal_start_ms == 0 || state.abnormal_start_ms > now_ms) {
    state.abnormal_start_ms = now_ms;
  }
  const int64_t low_for_ms = now_ms - state.abnormal_start_ms;
  return low_for_ms > threshold.abnormal_duration_ms ? FrameRateVerdict::kLow
                                                     : FrameRateVerdict::kSilent;
}

}  // namespace kelvaron
