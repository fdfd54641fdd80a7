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

// The checks of rcl_validate_topic_name, for a topic name as written ("~/scan", "{node}/out").
std::optional<NameProblem> validate_topic_name(const std::string & topic);

// rcl's rule: empty means "/", a relative namespace is made absolute.
std::string absolute_namespace(const std::string & namespace_);

std::string fully_qualified_node_name(
  const std::string & node_name, const std::string & namespace_);

// Expands `topic` as rcl_expand_topic_name does ("~", {node}, {ns}, relative names) and
// validates it; throws rclcpp::exceptions::InvalidTopicNameError, or RCLError for an unknown
// substitution.
std::string expand_topic_name(
  const std::string & topic, const std::string & node_name, const std::string & namespace_);

// Between ROS and DDS names, as rmw_cyclonedds maps them. "rt/scan" for the topic "/scan".
std::string dds_topic_name(const std::string & ros_topic);

// "/scan" for "rt/scan"; nothing for a DDS topic that is not a ROS topic.
std::optional<std::string> ros_topic_name(const std::string & dds_topic);

// "sensor_msgs::msg::dds_::LaserScan_" for "sensor_msgs/msg/LaserScan" (or
// "sensor_msgs/LaserScan"); nothing for a name not of the form package[/msg]/Type.
std::optional<std::string> dds_type_name(const std::string & ros_type);

// The reverse; a DDS type name not made that way comes back unchanged.
std::string ros_type_name(const std::string & dds_type);

}  // namespace ros2_standin

#endif  // ROS2_STANDIN__SRC__NAMES_HPP_
