#ifndef ROS2_STANDIN__SRC__DDS_ENDPOINT_HPP_
#define ROS2_STANDIN__SRC__DDS_ENDPOINT_HPP_

#include <dds/dds.h>

#include <cstdint>
#include <string>

#include "message_type_support_impl.hpp"
#include "node_state.hpp"
#include "rclcpp/qos.hpp"

namespace ros2_standin
{

enum class EndpointKind
{
  Writer,
  Reader
};

struct EndpointHandles
{
  std::string topic_name;  // fully qualified ROS name
  uint64_t generation = 0;
  dds_entity_t topic = 0;
  dds_entity_t endpoint = 0;
};

// Creates the DDS topic "rt" + the expanded name and a reader or writer on the node's
// participant. Throws as rclcpp does: InvalidTopicNameError for a bad name, RCLError when
// the node's context is shut down or DDS refuses.
EndpointHandles create_endpoint(
  NodeState & node, const std::string & topic, const rclcpp::QoS & qos,
  const MessageTypeSupport & type_support, EndpointKind kind, bool ignore_local_publications);

// Deletes `entities` unless shutdown already did, together with their participant.
void delete_endpoint_entities(
  NodeState & node, uint64_t generation, const dds_entity_t * entities, size_t count);

// True while the participant the endpoint lives on exists.
bool endpoint_alive(const NodeState & node, uint64_t generation);

}  // namespace ros2_standin

#endif  // ROS2_STANDIN__SRC__DDS_ENDPOINT_HPP_
