#include "node_parameters.hpp"

#include <algorithm>
#include <stdexcept>

namespace kelvaron::diag_node
{

std::string chooseConfigFile(
  rclcpp::Node & node, const std::optional<std::string> & command_line,
  const std::string & default_path)
{
  // With --config the parameter shows that file and overrides are ignored, so `ros2 param get`
  // never names a file the node is not watching.
  const bool from_command_line = command_line.has_value();
  return node.declare_parameter<std::string>(
    "config_file", from_command_line ? *command_line : default_path,
    rcl_interfaces::msg::ParameterDescriptor(), from_command_line);
}

MetricsParameters chooseMetricsEndpoint(rclcpp::Node & node)
{
  constexpr int64_t kHighestPort = 65535;
  MetricsParameters chosen;
  chosen.port = node.declare_parameter<int64_t>("metrics_port", chosen.port);
  chosen.address = node.declare_parameter<std::string>("metrics_address", chosen.address);
  if (chosen.port < 0 || chosen.port > kHighestPort) {
    throw std::invalid_argument(
      "parameter 'metrics_port' must be 0 (off) to 65535, not " + std::to_string(chosen.port));
  }
  return chosen;
}

std::string listeningAddress(const MetricsParameters & where)
{
  const bool ipv6 = where.address.find(':') != std::string::npos;
  return (ipv6 ? "[" + where.address + "]" : where.address) + ":" + std::to_string(where.port);
}

std::string oneLine(std::string text)
{
  std::replace(text.begin(), text.end(), '\n', ' ');
  while (!text.empty() && text.back() == ' ') {
    text.pop_back();
  }
  return text;
}

}  // namespace kelvaron::diag_node
