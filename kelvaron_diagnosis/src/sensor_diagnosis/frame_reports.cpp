#include <mutex>
#include <string>

#include "logging/logger.hpp"
#include "sensor_diagnosis.hpp"
#include "sensor_diagnosis/stream_health.hpp"
#include "sensor_diagnosis/wall_clock.hpp"

namespace
{

std_msgs::msg::Header headerStampedNow()
{
  rclcpp::Clock system_clock(RCL_SYSTEM_TIME);
  std_msgs::msg::Header header;
  header.stamp = system_clock.now();
  return header;
}

}  // namespace

bool Diagnosis::SensorReportWithHeader(
  const std::string & topic, const std_msgs::msg::Header & header)
{
  // Once initialised, the guard costs one atomic load.
  if (!initialized_.load() && !autoInitialize()) {
    LOG_ERROR("Failed to auto-initialize diagnosis system");
    return false;
  }
  std::lock_guard<std::mutex> lock(data_mutex_);
  SensorState & state = sensor_states_[topic];
  state.last_header = header;
  return recordArrival(topic, state);
}

bool Diagnosis::SensorReportWithoutHeader(const std::string & topic)
{
  if (!initialized_.load() && !autoInitialize()) {
    LOG_ERROR("Failed to auto-initialize diagnosis system");
    return false;
  }
  std::lock_guard<std::mutex> lock(data_mutex_);
  SensorState & state = sensor_states_[topic];
  state.last_header = headerStampedNow();
  return recordArrival(topic, state);
}

bool Diagnosis::recordArrival(const std::string & topic, SensorState & state)
{
  const auto registered = sensor_thresholds_.find(topic);
  if (registered == sensor_thresholds_.end()) {
    LOG_WARN("Sensor topic not registered: {}", topic);
    return false;
  }
  kelvaron::recordFrame(state, registered->second, kelvaron::wallClockNowMs());
  return true;
}
