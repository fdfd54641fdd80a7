#ifndef ROS2_STANDIN__SRC__PARAMETER_VALUES_HPP_
#define ROS2_STANDIN__SRC__PARAMETER_VALUES_HPP_

#include <yaml-cpp/yaml.h>

#include <string>
#include <string_view>

#include "rclcpp/parameter_value.hpp"
#include "ros2_standin/visibility_control.hpp"

// Internal; exported only so that the tests can exercise it.
namespace ros2_standin
{

// Types a YAML scalar as rcl_yaml_param_parser does: a quoted scalar is a string; a plain one
// is a bool when it is one of YAML 1.1's words for it (y, yes, true, on, ... in three cases),
// else an integer when strtoll (any base prefix) takes all of it, else a double when strtod
// does (or it is .inf, .nan and their spellings), else a string.
ROS2_STANDIN_PUBLIC rclcpp::ParameterValue typed_scalar(const std::string & text, bool quoted);

// The value of a YAML node in a parameter file or -p rule: a scalar, or a sequence of scalars
// that all type alike (an array; an empty sequence gives no value). `source` is the YAML text
// the node came from. Throws RuleError worded as rcl for anything else.
rclcpp::ParameterValue parameter_value_of(const YAML::Node & node, std::string_view source);

// The value of a "-p name:=value" rule, `yaml` being what follows ":=".
ROS2_STANDIN_PUBLIC rclcpp::ParameterValue parse_parameter_value(const std::string & yaml);

}  // namespace ros2_standin

#endif  // ROS2_STANDIN__SRC__PARAMETER_VALUES_HPP_
