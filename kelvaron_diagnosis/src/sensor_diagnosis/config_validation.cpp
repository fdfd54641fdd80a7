#include <string>

#include "sensor_diagnosis.hpp"
#include "sensor_diagnosis/console.hpp"
#include "sensor_diagnosis/recent_streams.hpp"
#include "sensor_diagnosis/ros_diagnostics_settings.hpp"

namespace
{

// cutoff_recovery_threshold is deliberately absent: a missing one surfaces as a failed
// conversion naming the key, which is the message operators already know.
constexpr const char * kPresenceCheckedKeys[] = {
  "normal_hz", "low_ratio", "cutoff_timeout_ms", "abnormal_duration_ms"};

// The conversion order decides which field a type error names, so validation and the parser
// share it. `fields` is const so that a missing key is looked up, never inserted.
SensorThreshold readThreshold(const YAML::Node & fields)
{
  SensorThreshold threshold;
  threshold.normal_hz = fields["normal_hz"].as<float>();
  threshold.low_ratio = fields["low_ratio"].as<float>();
  threshold.cutoff_timeout_ms = fields["cutoff_timeout_ms"].as<long>();
  threshold.abnormal_duration_ms = fields["abnormal_duration_ms"].as<long>();
  threshold.cutoff_recovery_threshold = fields["cutoff_recovery_threshold"].as<long>();
  if (const YAML::Node max_header_age = fields["max_header_age_ms"]) {
    threshold.max_header_age_ms = max_header_age.as<long>();
  }
  return threshold;
}

}  // namespace

bool Diagnosis::validateConfig(const YAML::Node & root)
{
  // A scalar root throws here; the loader reports it as a YAML error.
  const YAML::Node sensors = root["sensors"];
  if (!sensors || !sensors.IsMap()) {
    kelvaron::printErrorLine("Config file must contain 'sensors' map");
    return false;
  }

  // One flag for the whole document: once anything failed, later entries only get the cheap
  // shape and presence checks, so a broken file does not drown the log in follow-up errors.
  bool valid = true;
  for (const auto & entry : sensors) {
    // Not guarded: a sequence or mapping used as a key is left for the loader to report.
    const std::string name = entry.first.as<std::string>();
    const YAML::Node fields = entry.second;
    if (!fields.IsMap()) {
      kelvaron::printErrorLine("Sensor '" + name + "' config must be a map");
      valid = false;
      continue;
    }
    for (const char * key : kPresenceCheckedKeys) {
      if (!fields[key]) {
        kelvaron::printErrorLine("Sensor '" + name + "' missing required field: " + key);
        valid = false;
      }
    }
    if (!valid) {
      continue;
    }

    SensorThreshold threshold;
    try {
      threshold = readThreshold(fields);
    } catch (const YAML::Exception & error) {
      kelvaron::printErrorLine("Sensor '" + name + "' has invalid field type: " + error.what());
      valid = false;
      continue;
    }
    valid = validateSensorThreshold(name, threshold);
  }

  if (sensors.size() == 0) {
    kelvaron::printErrorLine("No sensors configured");
    valid = false;
  }
  // Checked whatever the sensors' outcome: the block is small and each problem gets its line.
  const bool block_valid = kelvaron::validateRosDiagnostics(root[kelvaron::kRosDiagnosticsKey]);
  return valid && block_valid;
}

// Trusts a document that validateConfig accepted; anything else leaves as a YAML exception.
bool Diagnosis::parseSensorConfig(const YAML::Node & sensors)
{
  std::lock_guard<std::mutex> lock(data_mutex_);
  recent_streams_->forget();
  sensor_thresholds_.clear();
  for (const auto & entry : sensors) {
    const std::string topic = entry.first.as<std::string>();
    const YAML::Node fields = entry.second;
    // A topic listed twice keeps its later entry.
    sensor_thresholds_[topic] = readThreshold(fields);
    // A topic that stays in the file keeps its history across reloads.
    sensor_states_.try_emplace(topic);
  }
  return true;
}
