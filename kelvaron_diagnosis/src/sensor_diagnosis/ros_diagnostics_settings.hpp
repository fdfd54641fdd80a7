#pragma once

#include <cstdint>

#include <yaml-cpp/yaml.h>

namespace kelvaron
{

// The threshold file's optional root key that switches the /diagnostics output on.
inline constexpr const char * kRosDiagnosticsKey = "ros_diagnostics";
inline constexpr int64_t kRosDiagnosticsMinPeriodMs = 100;
inline constexpr int64_t kRosDiagnosticsMaxPeriodMs = 60000;
inline constexpr int64_t kRosDiagnosticsDefaultPeriodMs = 1000;

struct RosDiagnosticsSettings
{
  bool enabled{false};
  int64_t period_ms{kRosDiagnosticsDefaultPeriodMs};
};

// Checks the block (a missing one is valid), printing one "[ERROR] ..." line per problem.
bool validateRosDiagnostics(const YAML::Node & block);

// The settings of a block that validateRosDiagnostics accepted; a missing block is off.
RosDiagnosticsSettings readRosDiagnostics(const YAML::Node & block);

}  // namespace kelvaron
