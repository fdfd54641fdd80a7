#pragma once

// The threshold record and file the tests share: a 10 Hz scanner, low below 5 frames a second
// for more than 800 ms, timed out after 500 ms, normal again after 3 frames.

#include <string>

#include "sensor_diagnosis.hpp"

inline SensorThreshold scannerThreshold()
{
  SensorThreshold threshold;
  threshold.normal_hz = 10.0F;
  threshold.low_ratio = 0.5F;
  threshold.cutoff_timeout_ms = 500;
  threshold.cutoff_recovery_threshold = 3;
  threshold.abnormal_duration_ms = 800;
  return threshold;
}

// One entry of the "sensors" map for `topic`, with the scanner's values.
inline std::string scannerEntry(const std::string & topic, int cutoff_timeout_ms = 500)
{
  return "  " + topic + ":\n    normal_hz: 10.0\n    low_ratio: 0.5\n    cutoff_timeout_ms: " +
         std::to_string(cutoff_timeout_ms) +
         "\n    cutoff_recovery_threshold: 3\n    abnormal_duration_ms: 800\n";
}

// A whole threshold file with the scanner on "/scan_01".
inline std::string scannerFile() { return "sensors:\n" + scannerEntry("/scan_01"); }
