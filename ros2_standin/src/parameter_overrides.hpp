#ifndef ROS2_STANDIN__SRC__PARAMETER_OVERRIDES_HPP_
#define ROS2_STANDIN__SRC__PARAMETER_OVERRIDES_HPP_

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "rclcpp/parameter_value.hpp"
#include "ros2_standin/visibility_control.hpp"

// Internal; exported only so that the tests can exercise it.
namespace ros2_standin
{

// Parameter values from -p rules and parameter files, kept as rcl keeps them: grouped by the
// node they were given for ("/**", "talker", "/ns/*"), the groups in the order they first
// appeared, each with its parameters in the order they first appeared; a later value for the
// same group and name replaces the earlier one in its place.
class ROS2_STANDIN_PUBLIC ParameterOverrideSet
{
public:
  void set(
    const std::string & node_pattern, const std::string & name,
    const rclcpp::ParameterValue & value);

  // Writes the values for the node `fully_qualified_name` into `values` as rclcpp combines
  // them: group after group, the later replacing the earlier, whatever the group's kind.
  // Throws rclcpp::exceptions::InvalidParameterValueException for a parameter given no value
  // (an empty sequence).
  void apply_to(
    const std::string & fully_qualified_name,
    std::map<std::string, rclcpp::ParameterValue> & values) const;

  bool empty() const { return groups_.empty(); }

private:
  struct Group
  {
    std::string node_pattern;
    std::vector<std::pair<std::string, rclcpp::ParameterValue>> parameters;
  };
  std::vector<Group> groups_;
};

// Whether a node pattern of a parameter file or -p rule names the node: "/*" stands for one
// namespace level or node name, "/**" for any number of them; a pattern without a leading
// slash is taken from the root ("talker" is "/talker").
ROS2_STANDIN_PUBLIC bool node_pattern_matches(
  const std::string & node_pattern, const std::string & fully_qualified_name);

}  // namespace ros2_standin

#endif  // ROS2_STANDIN__SRC__PARAMETER_OVERRIDES_HPP_
