#ifndef ROS2_STANDIN__SRC__NODE_TOPICS_HPP_
#define ROS2_STANDIN__SRC__NODE_TOPICS_HPP_

#include <memory>
#include <string>

#include "rclcpp/node_interfaces/node_topics_interface.hpp"

namespace ros2_standin
{

struct NodeState;

class NodeTopics : public rclcpp::node_interfaces::NodeTopicsInterface
{
public:
  explicit NodeTopics(std::shared_ptr<const NodeState> node);

  std::string resolve_topic_name(const std::string & name, bool only_expand) const override;

private:
  std::shared_ptr<const NodeState> node_;
};

}  // namespace ros2_standin

#endif  // ROS2_STANDIN__SRC__NODE_TOPICS_HPP_
