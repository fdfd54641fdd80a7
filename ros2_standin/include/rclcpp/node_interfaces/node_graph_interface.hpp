#ifndef RCLCPP__NODE_INTERFACES__NODE_GRAPH_INTERFACE_HPP_
#define RCLCPP__NODE_INTERFACES__NODE_GRAPH_INTERFACE_HPP_

#include <string>
#include <utility>

#include "rclcpp/visibility_control.hpp"

namespace rclcpp
{

// One publisher or subscription the graph knows of. Of rclcpp's fields, only its type.
class RCLCPP_PUBLIC_TYPE TopicEndpointInfo
{
public:
  // rclcpp builds these from rcl's answer; the stand-in from DDS discovery.
  explicit TopicEndpointInfo(std::string topic_type) : topic_type_(std::move(topic_type)) {}

  std::string & topic_type() { return topic_type_; }
  const std::string & topic_type() const { return topic_type_; }

private:
  std::string topic_type_;
};

}  // namespace rclcpp

#endif  // RCLCPP__NODE_INTERFACES__NODE_GRAPH_INTERFACE_HPP_
