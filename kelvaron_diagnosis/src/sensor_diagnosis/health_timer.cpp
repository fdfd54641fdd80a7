#include <chrono>
#include <mutex>

#include "logging/logger.hpp"
#include "sensor_diagnosis.hpp"
#include "sensor_diagnosis/dependencies.hpp"
#include "sensor_diagnosis/stream_health.hpp"
#include "sensor_diagnosis/stream_table.hpp"
#include "sensor_diagnosis/worker_thread.hpp"

kelvaron::WorkerThread Diagnosis::timerWorker()
{
  return {timer_control_mutex_, timer_running_, timer_thread_, timer_mutex_, timer_cv_};
}

void Diagnosis::startTimer()
{
  if (kelvaron::startWorker(
        timerWorker(), [this] { timerThread(); }, dependencies_->before_thread_start)) {
    LOG_INFO("Timer thread started");
  }
}

void Diagnosis::stopTimer()
{
  if (kelvaron::stopWorker(timerWorker())) {
    LOG_INFO("Timer thread stopped");
  }
}

void Diagnosis::timerThread()
{
  while (timer_running_) {
    {
      std::unique_lock<std::mutex> wait_lock(timer_mutex_);
      const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(timer_period_ms_);
      const bool stop_requested =
        timer_cv_.wait_until(wait_lock, deadline, [this] { return !timer_running_; });
      if (stop_requested) {
        return;
      }
    }
    TimeoutCheck();
    FPSCheck();
    publishRosDiagnostics();
  }
}

void Diagnosis::TimeoutCheck()
{
  std::lock_guard<std::mutex> lock(data_mutex_);
  // Nothing is judged before simulated time has started.
  const std::optional<int64_t> now_ms = dependencies_->nowMs();
  if (!now_ms) {
    return;
  }
  for (const auto & [topic, threshold] : sensor_thresholds_) {
    SensorState & state = sensor_states_[topic];
    const kelvaron::StreamVerdict verdict = kelvaron::judgeStream(state, threshold, *now_ms);
    const bool timed_out = verdict == kelvaron::StreamVerdict::kTimeout;
    fillEvent(
      state.last_header, kelvaron::streamEventIds(topic).timeout_id, timed_out ? 1 : 0,
      timed_out ? kelvaron::kStreamTimeoutText : kelvaron::kStreamNormalText);
    publishHealthEvent();
    kelvaron::settleRecovery(state, threshold, verdict);
    kelvaron::noteStreamVerdict(state, verdict);
  }
}

void Diagnosis::FPSCheck()
{
  std::lock_guard<std::mutex> lock(data_mutex_);
  const std::optional<int64_t> now_ms = dependencies_->nowMs();
  if (!now_ms) {
    return;
  }
  for (const auto & [topic, threshold] : sensor_thresholds_) {
    SensorState & state = sensor_states_[topic];
    const kelvaron::FrameRateVerdict verdict = kelvaron::judgeFrameRate(state, threshold, *now_ms);
    kelvaron::noteFrameRateVerdict(state, verdict);
    if (verdict == kelvaron::FrameRateVerdict::kSilent) {
      continue;
    }
    const bool low = verdict == kelvaron::FrameRateVerdict::kLow;
    fillEvent(
      state.last_header, kelvaron::streamEventIds(topic).frame_rate_id, low ? 1 : 0,
      low ? kelvaron::kAbnormalFrameRateText : kelvaron::kNormalFrameRateText);
    publishHealthEvent();
  }
}
