#ifndef RCLCPP__NODE_INTERFACES__NODE_TOPICS_INTERFACE_HPP_
#define RCLCPP__NODE_INTERFACES__NODE_TOPICS_INTERFACE_HPP_

#include <string>

#include "rclcpp/macros.hpp"
#include "rclcpp/visibility_control.hpp"

namespace rclcpp
{
namespace node_interfaces
{

// Of rclcpp's interface, only the resolution of topic names.
class RCLCPP_PUBLIC_TYPE NodeTopicsInterface
{
public:
  RCLCPP_SMART_PTR_ALIASES_ONLY(NodeTopicsInterface)

  virtual ~NodeTopicsInterface() = default;

  // The name a publisher or subscription of the node would get: expanded against the node
  // ("~", "{node}", relative names), then remapped unless `only_expand`. Throws
  // rclcpp::exceptions::RCLError ("failed to resolve name: ...") for a name ROS 2 rejects.
  virtual std::string resolve_topic_name(
    const std::string & name, bool only_expand = false) const = 0;
};

}  // namespace node_interfaces
}  // namespace rclcpp

#endif  // RCLCPP__NODE_INTERFACES__NODE_TOPICS_INTERFACE_HPP_
