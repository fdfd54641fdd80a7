#pragma once

#include <cstdint>
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

// Where the Prometheus endpoint listens: port 0 (the default) serves nothing.
struct MetricsParameters
{
  int64_t port{0};
  std::string address{"127.0.0.1"};  // loopback: nothing leaves the robot unless widened
};

// Declares `metrics_port` and `metrics_address`; throws rclcpp's parameter exceptions for an
// override of the wrong type and std::invalid_argument for a port outside 0..65535.
MetricsParameters chooseMetricsEndpoint(rclcpp::Node & node);

// Where the endpoint listens as the HTTP server writes it: "127.0.0.1:9100", "[::1]:9100".
std::string listeningAddress(const MetricsParameters & where);

// One line for an error of the ROS arguments or parameters, whatever rcl put in its text.
std::string oneLine(std::string text);

}  // namespace kelvaron::diag_node
