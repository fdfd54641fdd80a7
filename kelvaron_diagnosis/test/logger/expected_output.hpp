#pragma once

// Lines the logger prints, written out independently of the logger header.

#include <string>

namespace logger_test
{

inline const std::string kStdoutNotSet =
  "environment variable SPDLOG_STDOUT is not set, and set true\n";
inline const std::string kStdoutInvalid =
  "environment variable SPDLOG_STDOUT is invalid, and set true\n";
inline const std::string kSystemdNotSet =
  "environment variable SPDLOG_SYSTEMD is not set, and set false\n";
inline const std::string kSystemdInvalid =
  "environment variable SPDLOG_SYSTEMD is invalid, and set false\n";
inline const std::string kLevelNotSet =
  "environment variable SPDLOG_LEVEL is not set, and set default level\n";
inline const std::string kLevelInvalid =
  "environment variable SPDLOG_LEVEL is invalid, and set default level\n";

// The "mixed" scenario of logger_probe at each level.
inline const std::string kMixedAtInfo =
  "  1 [INFO] Timer thread started\n"
  "  2 [WARN] Sensor topic not registered: /scan_09\n"
  "  3 [INFO] event_id:8009, event_status:1, event_msg:FRONT 2D LIDAR ABNORMAL\n"
  "  4 [ERROR] Failed to get package share directory: kelvaron_diagnosis\n"
  "  5 [INFO] Timer thread stopped\n"
  "  6 [WARN] Diagnosis already initialized\n";
// Dropped messages do not take a number.
inline const std::string kMixedAtWarning =
  "  1 [WARN] Sensor topic not registered: /scan_09\n"
  "  2 [ERROR] Failed to get package share directory: kelvaron_diagnosis\n"
  "  3 [WARN] Diagnosis already initialized\n";
inline const std::string kMixedAtError =
  "  1 [ERROR] Failed to get package share directory: kelvaron_diagnosis\n";

}  // namespace logger_test
