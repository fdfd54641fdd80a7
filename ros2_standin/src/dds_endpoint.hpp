#ifndef ROS2_STANDIN__SRC__DDS_ENDPOINT_HPP_
#define ROS2_STANDIN__SRC__DDS_ENDPOINT_HPP_

#include <dds/dds.h>

#include <cstdint>
#include <functional>
#include <string>

#include "gid.hpp"
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
  Gid gid{};
};

// Makes the DDS topic `dds_name` with topic QoS `qos` on `participant`; returns the topic or a
// DDS error (< 0).
using TopicFactory = std::function<dds_entity_t(
  dds_entity_t participant, const std::string & dds_name, const dds_qos_t * qos)>;

// Creates the DDS topic "rt" + the expanded and remapped name and a reader or writer on the
// node's participant, and shows it in the node's graph information. Throws as rclcpp does:
// InvalidTopicNameError for a bad name, RCLError when the node's context is shut down or DDS
// refuses.
EndpointHandles create_endpoint(
  NodeState & node, const std::string & topic, const rclcpp::QoS & qos,
  const MessageTypeSupport & type_support, EndpointKind kind, bool ignore_local_publications);

// The same for a topic that `make_topic` creates.
EndpointHandles create_endpoint(
  NodeState & node, const std::string & topic, const rclcpp::QoS & qos,
  const TopicFactory & make_topic, EndpointKind kind, bool ignore_local_publications);

// Deletes the reader or writer and its topic unless shutdown already did, together with their
// participant, and takes it out of the graph information.
void delete_endpoint(
  NodeState & node, uint64_t generation, dds_entity_t endpoint, dds_entity_t topic);

// True while the participant the endpoint lives on exists.
bool endpoint_alive(const NodeState & node, uint64_t generation);

}  // namespace ros2_standin

#endif  // ROS2_STANDIN__SRC__DDS_ENDPOINT_HPP_
