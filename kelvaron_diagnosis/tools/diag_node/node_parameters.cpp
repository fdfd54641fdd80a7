#include "node_parameters.hpp"

#include <algorithm>

namespace kelvaron::diag_node
{

std::string chooseConfigFile(
  rclcpp::Node & node, const std::optional<std::string> & command_line,
  const std::string & default_path)
{
  const std::string from_parameter =
    node.declare_parameter<std::string>("config_file", default_path);
  return command_line ? *command_line : from_parameter;
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
