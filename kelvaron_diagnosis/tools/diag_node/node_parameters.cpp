#include "node_parameters.hpp"

#include <algorithm>

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

std::string oneLine(std::string text)
{
  std::replace(text.begin(), text.end(), '\n', ' ');
  while (!text.empty() && text.back() == ' ') {
    text.pop_back();
  }
  return text;
}

}  // namespace kelvaron::diag_node
