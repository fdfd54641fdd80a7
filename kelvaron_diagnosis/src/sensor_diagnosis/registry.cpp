#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "sensor_diagnosis.hpp"
#include "sensor_diagnosis/console.hpp"

namespace
{

// Floats are written as a default-formatted stream writes a double: 0, -1.5, 1.2, 1e-07.
std::string formatValue(float value)
{
  std::ostringstream out;
  out << static_cast<double>(value);
  return out.str();
}

std::string formatValue(int64_t value) { return std::to_string(value); }

template <typename Value>
bool rejectField(
  const std::string & topic, const char * field, Value value, const char * allowed_range)
{
  kelvaron::printErrorLine(
    "Sensor '" + topic + "' has invalid " + field + ": " + formatValue(value) + " (" +
    allowed_range + ")");
  return false;
}

}  // namespace

// Register stores the fifth argument as the recovery frame count; Register's record gets a
// one-window (1000 ms) hold time for low rates, so it always passes validateSensorThreshold.
bool Diagnosis::Register(
  const std::string & topic, float normal_hz, float low_ratio, long cutoff_timeout_ms,
  long cutoff_recovery_threshold)
{
  constexpr int64_t kRegisterAbnormalDurationMs = 1000;

  std::lock_guard<std::mutex> lock(data_mutex_);
  // Written as rejections so that NaN rates, which compare false, are accepted.
  if (
    normal_hz <= 0 || low_ratio <= 0 || low_ratio > 1.0 || cutoff_timeout_ms <= 0 ||
    cutoff_recovery_threshold <= 0) {
    kelvaron::printErrorLine("Invalid sensor threshold: " + topic);
    return false;
  }
  SensorThreshold threshold;
  threshold.normal_hz = normal_hz;
  threshold.low_ratio = low_ratio;
  threshold.cutoff_timeout_ms = cutoff_timeout_ms;
  threshold.cutoff_recovery_threshold = cutoff_recovery_threshold;
  threshold.abnormal_duration_ms = kRegisterAbnormalDurationMs;
  sensor_thresholds_[topic] = threshold;
  sensor_states_[topic] = SensorState();
  kelvaron::printInfoLine("Registered sensor threshold: " + topic);
  return true;
}

bool Diagnosis::validateSensorThreshold(
  const std::string & topic, const SensorThreshold & threshold)
{
  if (threshold.normal_hz <= 0) {
    return rejectField(topic, "normal_hz", threshold.normal_hz, "must be > 0");
  }
  if (threshold.low_ratio <= 0 || threshold.low_ratio > 1.0) {
    return rejectField(topic, "low_ratio", threshold.low_ratio, "must be 0 < ratio <= 1");
  }
  if (threshold.cutoff_timeout_ms <= 0) {
    return rejectField(topic, "cutoff_timeout_ms", threshold.cutoff_timeout_ms, "must be > 0");
  }
  // The hold time is checked before the recovery count, although it follows it in the record.
  if (threshold.abnormal_duration_ms <= 0) {
    return rejectField(
      topic, "abnormal_duration_ms", threshold.abnormal_duration_ms, "must be > 0");
  }
  if (threshold.cutoff_recovery_threshold <= 0) {
    return rejectField(
      topic, "cutoff_recovery_threshold", threshold.cutoff_recovery_threshold, "must be > 0");
  }
  if (threshold.max_header_age_ms && *threshold.max_header_age_ms <= 0) {
    return rejectField(topic, "max_header_age_ms", *threshold.max_header_age_ms, "must be > 0");
  }
  return true;
}

std::vector<std::string> Diagnosis::registeredTopics()
{
  std::vector<std::string> topics;
  {
    std::lock_guard<std::mutex> lock(data_mutex_);
    topics.reserve(sensor_thresholds_.size());
    for (const auto & entry : sensor_thresholds_) {
      topics.push_back(entry.first);
    }
  }
  std::sort(topics.begin(), topics.end());
  return topics;
}
