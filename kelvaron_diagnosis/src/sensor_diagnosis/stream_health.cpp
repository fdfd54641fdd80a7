#include "sensor_diagnosis/stream_health.hpp"

#include <algorithm>

namespace kelvaron
{

void trimWindow(std::deque<int64_t> & timestamps, int64_t now_ms)
{
  while (!timestamps.empty() && now_ms - timestamps.front() > kFrameRateWindowMs) {
    timestamps.pop_front();
  }
}

void recordFrame(SensorState & state, const SensorThreshold & threshold, int64_t now_ms)
{
  const bool continues_run =
    state.run_frames > 0 && now_ms - state.run_last_ms <= threshold.cutoff_timeout_ms;
  state.run_frames = continues_run ? state.run_frames + 1 : 1;
  state.run_last_ms = now_ms;

  state.last_receive_ms = now_ms;
  state.timestamps.push_back(now_ms);
  // Without this a host whose timer is stopped (or never started) grows the window forever.
  trimWindow(state.timestamps, now_ms);
}

StreamVerdict judgeStream(SensorState & state, const SensorThreshold & threshold, int64_t now_ms)
{
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
  if (state.abnormal_start_ms == 0) {
    state.abnormal_start_ms = now_ms;
  }
  const int64_t low_for_ms = now_ms - state.abnormal_start_ms;
  return low_for_ms > threshold.abnormal_duration_ms ? FrameRateVerdict::kLow
                                                     : FrameRateVerdict::kSilent;
}

}  // namespace kelvaron
