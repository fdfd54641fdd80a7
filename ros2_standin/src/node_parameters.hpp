#ifndef ROS2_STANDIN__SRC__NODE_PARAMETERS_HPP_
#define ROS2_STANDIN__SRC__NODE_PARAMETERS_HPP_

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "rcl_interfaces/msg/parameter_descriptor.hpp"
#include "rclcpp/parameter.hpp"
#include "rclcpp/parameter_value.hpp"
#include "ros2_standin/visibility_control.hpp"
#include "ros_arguments.hpp"

namespace ros2_standin
{

// The overrides a node's parameters start from, combined as rclcpp does: the context's
// arguments (null when the node ignores them), then the node's own, then the node options'
// values, each replacing the one before. Throws
// rclcpp::exceptions::InvalidParameterValueException for an override given no value.
// Exported only so that the tests can exercise it.
ROS2_STANDIN_PUBLIC std::map<std::string, rclcpp::ParameterValue> resolve_parameter_overrides(
  const std::string & fully_qualified_name, const RosArguments * global_arguments,
  const RosArguments & local_arguments, const std::vector<rclcpp::Parameter> & option_overrides);

// A node's declared parameters, with rclcpp's rules for declaring and reading them.
// Thread-safe.
class NodeParameters
{
public:
  NodeParameters(std::map<std::string, rclcpp::ParameterValue> overrides, bool allow_undeclared);

  // The value declared: the override unless `ignore_override`, else `default_value`. Throws as
  // rclcpp: InvalidParametersException for an empty name, ParameterAlreadyDeclaredException,
  // InvalidParameterTypeException when a statically typed parameter has no type or its value
  // has another, InvalidParameterValueException for a value outside the descriptor's range.
  const rclcpp::ParameterValue & declare(
    const std::string & name, const rclcpp::ParameterValue & default_value,
    const rcl_interfaces::msg::ParameterDescriptor & descriptor, bool ignore_override);

  // Statically typed without a default: declared without a value unless overridden. Throws
  // std::invalid_argument for PARAMETER_NOT_SET or a dynamically typed descriptor, else as above.
  const rclcpp::ParameterValue & declare(
    const std::string & name, rclcpp::ParameterType type,
    const rcl_interfaces::msg::ParameterDescriptor & descriptor, bool ignore_override);

  // Declares every override not yet declared, dynamically typed.
  void declare_overrides();

  bool has(const std::string & name) const;

  // Throws ParameterNotDeclaredException for an undeclared name (unless undeclared ones are
  // allowed: then an unnamed, unset parameter) and ParameterUninitializedException for one
  // declared without a value.
  rclcpp::Parameter get(const std::string & name) const;

  // False for a parameter that is undeclared or has no value.
  bool get(const std::string & name, rclcpp::Parameter & parameter) const;

private:
  struct Declared
  {
    rclcpp::ParameterValue value;
    rcl_interfaces::msg::ParameterDescriptor descriptor;
  };

  const rclcpp::ParameterValue & declare_locked(
    const std::string & name, rclcpp::ParameterType type,
    const rclcpp::ParameterValue & default_value,
    rcl_interfaces::msg::ParameterDescriptor descriptor, bool ignore_override);

  mutable std::mutex mutex_;
  const std::map<std::string, rclcpp::ParameterValue> overrides_;
  const bool allow_undeclared_;
  std::map<std::string, Declared> parameters_;
};

}  // namespace ros2_standin

#endif  // ROS2_STANDIN__SRC__NODE_PARAMETERS_HPP_
