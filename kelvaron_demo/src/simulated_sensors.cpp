#include "simulated_sensors.hpp"

#include <yaml-cpp/yaml.h>

double normalRateOf(const std::string & thresholds_file, const std::string & topic)
{
  const YAML::Node sensors = YAML::LoadFile(thresholds_file)["sensors"];
  return sensors[topic]["normal_hz"].as<double>();
}
