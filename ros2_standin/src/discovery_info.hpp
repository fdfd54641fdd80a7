#ifndef ROS2_STANDIN__SRC__DISCOVERY_INFO_HPP_
#define ROS2_STANDIN__SRC__DISCOVERY_INFO_HPP_

#include <dds/dds.h>

#include <functional>
#include <vector>

#include "gid.hpp"
#include "node_graph.hpp"
#include "ros2_standin/visibility_control.hpp"

// "ros_discovery_info": how a participant tells ROS 2 graph tools which nodes it hosts and
// which readers and writers belong to each, as rmw_cyclonedds of Humble publishes it.
namespace ros2_standin
{

struct ContextState;

// The topic and its writer on `participant`: reliable, transient-local, keep-last 1, so that
// a tool starting later still gets the latest state. Returns the writer, or a DDS error (< 0).
dds_entity_t create_discovery_writer(dds_entity_t participant);

// Writes the whole graph of one participant as one sample.
dds_return_t write_discovery_info(
  dds_entity_t writer, const Gid & participant, const std::vector<NodeEntities> & nodes);

// What one sample carries, and the writer to send it with.
struct DiscoverySnapshot
{
  dds_entity_t writer = 0;
  Gid participant{};
  std::vector<NodeEntities> nodes;
};

// Publishes the context's graph after a change to it. Call with none of the context's mutexes
// held; publishes nothing once the context is shut down.
void publish_discovery_info(ContextState & context);

// The same with `write` in place of the DDS write; exported only for the tests.
ROS2_STANDIN_PUBLIC void publish_discovery_info(
  ContextState & context, const std::function<void(const DiscoverySnapshot &)> & write);

}  // namespace ros2_standin

#endif  // ROS2_STANDIN__SRC__DISCOVERY_INFO_HPP_
