#include "check_config.hpp"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

#include <yaml-cpp/yaml.h>

#include "sensor_diagnosis.hpp"

namespace kelvaron_check_config
{
namespace
{

// Names the reason a file cannot be read, or returns an empty string when it can.
std::string unreadableReason(const std::string & path)
{
  std::ifstream file(path);
  if (!file) {
    return std::strerror(errno);
  }
  return "";
}

std::size_t sensorCount(const std::string & path)
{
  const YAML::Node sensors = YAML::LoadFile(path)["sensors"];
  return sensors.size();
}

}  // namespace

bool checkConfigFile(const std::string & path)
{
  const std::string unreadable = unreadableReason(path);
  if (!unreadable.empty()) {
    std::cerr << "kelvaron_diag_check_config: cannot read '" << path << "': " << unreadable
              << std::endl;
    std::cout << "INVALID " << path << std::endl;
    return false;
  }
  // A fresh object per file: loading needs no ROS context and never publishes.
  Diagnosis diagnosis;
  if (!diagnosis.loadConfigFromFile(path)) {
    std::cout << "INVALID " << path << std::endl;
    return false;
  }
  std::cout << "OK      " << path << " (" << sensorCount(path) << " sensors)" << std::endl;
  return true;
}

}  // namespace kelvaron_check_config
