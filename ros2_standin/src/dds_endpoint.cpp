#include "dds_endpoint.hpp"

#include <mutex>
#include <string>

#include "dds_qos.hpp"
#include "discovery_info.hpp"
#include "name_resolution.hpp"
#include "names.hpp"
#include "rcl_errors.hpp"

namespace ros2_standin
{

namespace
{

EndpointHandles create_registered_endpoint(
  NodeState & node, const std::string & topic, const rclcpp::QoS & qos,
  const TopicFactory & make_topic, EndpointKind kind, bool ignore_local_publications)
{
  const char * what =
    kind == EndpointKind::Writer ? "could not create publisher" : "could not create subscription";
  ContextState & context = node.context_state;
  std::lock_guard<std::mutex> lock(context.mutex);
  if (!context.alive(node.generation)) {
    throw_rcl_error(RCL_RET_NODE_INVALID, what, "rcl node's context is invalid");
  }

  EndpointHandles handles;
  handles.topic_name = resolve_topic_name(node, topic);
  handles.generation = node.generation;

  const std::string dds_name = dds_topic_name(handles.topic_name);
  const QosPtr topic_qos = make_topic_qos();
  handles.topic = make_topic(context.dds.participant, dds_name, topic_qos.get());
  if (handles.topic < 0) {
    throw_rcl_error(
      RCL_RET_ERROR, what,
      "failed to create DDS topic " + dds_name + ": " + dds_strretcode(handles.topic));
  }

  const QosPtr endpoint_qos = make_endpoint_qos(qos, ignore_local_publications);
  handles.endpoint =
    kind == EndpointKind::Writer
      ? dds_create_writer(context.dds.participant, handles.topic, endpoint_qos.get(), nullptr)
      : dds_create_reader(context.dds.participant, handles.topic, endpoint_qos.get(), nullptr);
  if (handles.endpoint < 0) {
    const dds_return_t error = handles.endpoint;
    dds_delete(handles.topic);
    throw_rcl_error(
      RCL_RET_ERROR, what,
      "failed to create DDS endpoint on " + dds_name + ": " + dds_strretcode(error));
  }
  handles.gid = entity_gid(handles.endpoint);
  if (kind == EndpointKind::Writer) {
    context.graph.add_writer(node.graph_id, handles.endpoint, handles.gid);
  } else {
    context.graph.add_reader(node.graph_id, handles.endpoint, handles.gid);
  }
  return handles;
}

}  // namespace

EndpointHandles create_endpoint(
  NodeState & node, const std::string & topic, const rclcpp::QoS & qos,
  const MessageTypeSupport & type_support, EndpointKind kind, bool ignore_local_publications)
{
  const dds_topic_descriptor_t * descriptor = type_support.descriptor;
  return create_endpoint(
    node, topic, qos,
    [descriptor](
      dds_entity_t participant, const std::string & dds_name, const dds_qos_t * topic_qos) {
      return dds_create_topic(participant, descriptor, dds_name.c_str(), topic_qos, nullptr);
    },
    kind, ignore_local_publications);
}

EndpointHandles create_endpoint(
  NodeState & node, const std::string & topic, const rclcpp::QoS & qos,
  const TopicFactory & make_topic, EndpointKind kind, bool ignore_local_publications)
{
  const EndpointHandles handles =
    create_registered_endpoint(node, topic, qos, make_topic, kind, ignore_local_publications);
  publish_discovery_info(node.context_state);
  return handles;
}

void delete_endpoint(
  NodeState & node, uint64_t generation, dds_entity_t endpoint, dds_entity_t topic)
{
  ContextState & context = node.context_state;
  {
    std::lock_guard<std::mutex> lock(context.mutex);
    if (!context.alive(generation)) {
      return;  // shutdown deleted them with the participant
    }
    context.graph.remove_endpoint(node.graph_id, endpoint);
    dds_delete(endpoint);
    dds_delete(topic);
  }
  publish_discovery_info(context);
}

bool endpoint_alive(const NodeState & node, uint64_t generation)
{
  std::lock_guard<std::mutex> lock(node.context_state.mutex);
  return node.context_state.alive(generation);
}

}  // namespace ros2_standin
