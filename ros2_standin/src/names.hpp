#ifndef ROS2_STANDIN__SRC__NAMES_HPP_
#define ROS2_STANDIN__SRC__NAMES_HPP_

#include <cstddef>
#include <optional>
#include <string>

namespace ros2_standin
{

struct NameProblem
{
  std::string message;
  size_t index;
};

// The checks of rmw_validate_node_name.
std::optional<NameProblem> validate_node_name(const std::string & name);

// The checks of rmw_validate_namespace, for an already absolute namespace.
std::optional<NameProblem> validate_namespace(const std::string & namespace_);

// rcl's rule: empty means "/", a relative namespace is made absolute.
std::string absolute_namespace(const std::string & namespace_);

std::string fully_qualified_node_name(
  const std::string & node_name, const std::string & namespace_);

// Expands `topic` as rcl_expand_topic_name does ("~", {node}, {ns}, relative names) and
// validates it; throws rclcpp::exceptions::InvalidTopicNameError, or RCLError for an unknown
// substitution.
std::string expand_topic_name(
  const std::string & topic, const std::string & node_name, const std::string & namespace_);

}  // namespace ros2_standin

#endif  // ROS2_STANDIN__SRC__NAMES_HPP_
