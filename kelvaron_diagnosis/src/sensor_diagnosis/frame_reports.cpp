#include <mutex>
#include <string>

#include "logging/logger.hpp"
#include "sensor_diagnosis.hpp"
#include "sensor_diagnosis/dependencies.hpp"
#include "sensor_diagnosis/recent_streams.hpp"
#include "sensor_diagnosis/stream_health.hpp"

bool Diagnosis::SensorReportWithHeader(
  const std::string & topic, const std_msgs::msg::Header & header)
{
  // Once initialised, the guard costs one atomic load.
  if (!initialized_.load() && !autoInitialize()) {
    LOG_ERROR("Failed to auto-initialize diagnosis system");
    return false;
  }
  std::lock_guard<std::mutex> lock(data_mutex_);
  const kelvaron::StreamEntry entry = reportedStream(topic);
  entry.state->last_header = header;
  const std::optional<int64_t> now_ms = dependencies_->nowMs();
  if (!recordArrival(topic, entry, now_ms)) {
    return false;
  }
  if (now_ms) {
    entry.state->header_age_ms =
      *now_ms - kelvaron::stampMs(header.stamp.sec, header.stamp.nanosec);
  }
  return true;
}

bool Diagnosis::SensorReportWithoutHeader(const std::string & topic)
{
  if (!initialized_.load() && !autoInitialize()) {
    LOG_ERROR("Failed to auto-initialize diagnosis system");
    return false;
  }
  std::lock_guard<std::mutex> lock(data_mutex_);
  const kelvaron::StreamEntry entry = reportedStream(topic);
  entry.state->last_header = std_msgs::msg::Header();
  entry.state->last_header.stamp = dependencies_->stampNow();
  return recordArrival(topic, entry, dependencies_->nowMs());
}

kelvaron::StreamEntry Diagnosis::reportedStream(const std::string & topic)
{
  kelvaron::StreamEntry entry = recent_streams_->find(topic);
  if (entry.state != nullptr) {
    return entry;
  }
  // Unregistered topics get a state too, but are not remembered: they are the rare case.
  entry.state = &sensor_states_[topic];
  const auto registered = sensor_thresholds_.find(topic);
  if (registered != sensor_thresholds_.end()) {
    entry.threshold = &registered->second;
    recent_streams_->remember(topic, entry);
  }
  return entry;
}

bool Diagnosis::recordArrival(
  const std::string & topic, const kelvaron::StreamEntry & entry, std::optional<int64_t> now_ms)
{
  if (entry.threshold == nullptr) {
    LOG_WARN("Sensor topic not registered: {}", topic);
    return false;
  }
  // Before simulated time has started a frame has no time to be dated by: the header is kept,
  // the frame is not counted.
  if (now_ms) {
    kelvaron::recordFrame(*entry.state, *entry.threshold, *now_ms);
  }
  return true;
}
