#include "sensor_diagnosis/ros_diagnostics_settings.hpp"

#include <string>

#include "sensor_diagnosis/console.hpp"

namespace kelvaron
{
namespace
{

void reject(const std::string & problem)
{
  printErrorLine(std::string(kRosDiagnosticsKey) + " " + problem);
}

}  // namespace

bool validateRosDiagnostics(const YAML::Node & block)
{
  if (!block) {
    return true;
  }
  if (!block.IsMap()) {
    reject("must be a map");
    return false;
  }
  bool valid = true;
  for (const auto & entry : block) {
    const std::string key = entry.first.IsScalar() ? entry.first.Scalar() : "";
    if (key != "enabled" && key != "period_ms") {
      reject("has unknown key: " + (key.empty() ? YAML::Dump(entry.first) : key));
      valid = false;
    }
  }
  if (!block["enabled"]) {
    reject("missing required field: enabled");
    valid = false;
  } else {
    try {
      block["enabled"].as<bool>();
    } catch (const YAML::Exception & error) {
      reject(std::string("has invalid field type: ") + error.what());
      valid = false;
    }
  }
  if (block["period_ms"]) {
    try {
      const long period_ms = block["period_ms"].as<long>();
      if (period_ms < kRosDiagnosticsMinPeriodMs || period_ms > kRosDiagnosticsMaxPeriodMs) {
        reject(
          "has invalid period_ms: " + std::to_string(period_ms) + " (must be " +
          std::to_string(kRosDiagnosticsMinPeriodMs) + " to " +
          std::to_string(kRosDiagnosticsMaxPeriodMs) + ")");
        valid = false;
      }
    } catch (const YAML::Exception & error) {
      reject(std::string("has invalid field type: ") + error.what());
      valid = false;
    }
  }
  return valid;
}

RosDiagnosticsSettings readRosDiagnostics(const YAML::Node & block)
{
  RosDiagnosticsSettings settings;
  if (!block) {
    return settings;
  }
  settings.enabled = block["enabled"].as<bool>();
  if (block["period_ms"]) {
    settings.period_ms = block["period_ms"].as<long>();
  }
  return settings;
}

}  // namespace kelvaron
