#include "threshold_oracle.hpp"

#include <cstring>
#include <exception>

#include <yaml-cpp/yaml.h>

namespace kelvaron_fuzz
{
namespace
{

// The accepted ranges are written as rejections, as in the file format: NaN compares false
// everywhere and so passes.
bool outOfRange(const SensorThreshold & t)
{
  return t.normal_hz <= 0 || t.low_ratio <= 0 || t.low_ratio > 1 || t.cutoff_timeout_ms <= 0 ||
         t.abnormal_duration_ms <= 0 || t.cutoff_recovery_threshold <= 0;
}

bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

bool sameThreshold(const SensorThreshold & a, const SensorThreshold & b)
{
  return sameBits(a.normal_hz, b.normal_hz) && sameBits(a.low_ratio, b.low_ratio) &&
         a.cutoff_timeout_ms == b.cutoff_timeout_ms &&
         a.abnormal_duration_ms == b.abnormal_duration_ms &&
         a.cutoff_recovery_threshold == b.cutoff_recovery_threshold;
}

}  // namespace

std::optional<ThresholdMap> expectedThresholds(const std::string & document)
{
  try {
    const YAML::Node root = YAML::Load(document);
    const YAML::Node sensors = root["sensors"];
    if (!sensors || !sensors.IsMap() || sensors.size() == 0) {
      return std::nullopt;
    }
    ThresholdMap thresholds;
    for (const auto & entry : sensors) {
      const YAML::Node fields = entry.second;
      if (!fields.IsMap()) {
        return std::nullopt;
      }
      SensorThreshold t;
      t.normal_hz = fields["normal_hz"].as<float>();
      t.low_ratio = fields["low_ratio"].as<float>();
      t.cutoff_timeout_ms = fields["cutoff_timeout_ms"].as<long>();
      t.abnormal_duration_ms = fields["abnormal_duration_ms"].as<long>();
      t.cutoff_recovery_threshold = fields["cutoff_recovery_threshold"].as<long>();
      if (outOfRange(t)) {
        return std::nullopt;
      }
      // A topic listed twice keeps its later entry.
      thresholds[entry.first.as<std::string>()] = t;
    }
    return thresholds;
  } catch (const std::exception &) {
    // Unreadable YAML, a scalar root, a key or value that does not convert: the load fails.
    return std::nullopt;
  }
}

bool sameThresholds(const ThresholdMap & a, const ThresholdMap & b)
{
  if (a.size() != b.size()) {
    return false;
  }
  for (const auto & [topic, threshold] : a) {
    const auto other = b.find(topic);
    if (other == b.end() || !sameThreshold(threshold, other->second)) {
      return false;
    }
  }
  return true;
}

std::string describe(const ThresholdMap & thresholds)
{
  std::string text = std::to_string(thresholds.size()) + " topics";
  std::size_t shown = 0;
  for (const auto & entry : thresholds) {
    if (shown++ == 3) {
      text += ", ...";
      break;
    }
    text += (shown == 1 ? ": '" : ", '") + entry.first + "'";
  }
  return text;
}

}  // namespace kelvaron_fuzz
