#ifndef ROS2_STANDIN__SRC__ROS_ARGUMENTS_HPP_
#define ROS2_STANDIN__SRC__ROS_ARGUMENTS_HPP_

#include <cstddef>
#include <string>
#include <vector>

#include "parameter_overrides.hpp"
#include "remap_rules.hpp"
#include "ros2_standin/visibility_control.hpp"

// Internal; exported only so that the tests can exercise it.
namespace ros2_standin
{

// What rcl takes from a command line (or a node's arguments).
struct RosArguments
{
  std::vector<RemapRule> remap_rules;
  // From -p rules and --params-file files, in their order on the command line.
  ParameterOverrideSet parameter_overrides;
  std::vector<std::string> parameter_files;
  // Arguments after --ros-args that are none of ROS's; rclcpp refuses them.
  std::vector<std::string> unknown_ros_arguments;
  // Positions of the arguments that are not ROS's, the program name among them.
  std::vector<size_t> non_ros_arguments;
};

// Parses `arguments` as rcl_parse_arguments does. ROS's arguments are those from "--ros-args"
// up to "--" or the end, in any number of such sections: -p/--param [node:]name:=value,
// -r/--remap [node:]from:=to, --params-file FILE, and the logging and security options rcl
// accepts (checked, then ignored). Outside them, a remap rule alone is still taken, as rcl
// still takes that older form. Throws rclcpp::exceptions::RCLInvalidROSArgsError with
// "`error_prefix`: " and rcl's message, which names the argument, for one that does not parse,
// a parameter file among them.
ROS2_STANDIN_PUBLIC RosArguments
parse_ros_arguments(const std::vector<std::string> & arguments, const std::string & error_prefix);

// The arguments of argc/argv; throws RCLInvalidArgument ("`error_prefix`: ...") for a negative
// count or missing argv, as rcl does.
ROS2_STANDIN_PUBLIC std::vector<std::string> argument_list(
  int argc, const char * const * argv, const std::string & error_prefix);

}  // namespace ros2_standin

#endif  // ROS2_STANDIN__SRC__ROS_ARGUMENTS_HPP_
