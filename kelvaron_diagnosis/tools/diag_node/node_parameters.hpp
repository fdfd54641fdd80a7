#pragma once

#include <optional>
#include <string>

#include <rclcpp/rclcpp.hpp>

namespace kelvaron::diag_node
{

// The threshold file the node watches: `--config FILE` when given (it wins, and an override of
// the parameter is ignored), else the `config_file` parameter (from -p or a params file), else
// `default_path`. Declares the parameter either way, so `ros2 param get` shows the file; throws
// rclcpp's parameter exceptions for an override of the wrong type.
std::string chooseConfigFile(
  rclcpp::Node & node, const std::optional<std::string> & command_line,
  const std::string & default_path);

// One line for an error of the ROS arguments or parameters, whatever rcl put in its text.
std::string oneLine(std::string text);

}  // namespace kelvaron::diag_node
