#ifndef ROS2_STANDIN__SRC__NAME_RESOLUTION_HPP_
#define ROS2_STANDIN__SRC__NAME_RESOLUTION_HPP_

#include <string>

#include "remap_rules.hpp"

namespace ros2_standin
{

struct NodeState;

// The node's remap rules: its own arguments' first, then the context's unless it ignores them.
RemapSources remap_sources(const NodeState & node);

// The name rcl gives a publisher or subscription of the node: `topic` expanded, then remapped
// unless `only_expand`. Throws as expand_topic_name: InvalidTopicNameError for a name ROS 2
// rejects, RCLError for an unknown substitution.
std::string resolve_topic_name(
  const NodeState & node, const std::string & topic, bool only_expand = false);

}  // namespace ros2_standin

#endif  // ROS2_STANDIN__SRC__NAME_RESOLUTION_HPP_
