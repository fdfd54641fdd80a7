// The graph questions of rclcpp::Node, answered from DDS discovery: Cyclone's built-in topics
// list every reader and writer of the domain, local and remote, with topic and type names.

#include <dds/dds.h>

#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "name_resolution.hpp"
#include "names.hpp"
#include "node_state.hpp"
#include "rclcpp/node.hpp"

namespace ros2_standin
{

namespace
{

struct DiscoveredEndpoint
{
  std::string topic_name;  // as DDS names it, e.g. "rt/scan"
  std::string type_name;   // as DDS names it, e.g. "sensor_msgs::msg::dds_::LaserScan_"
};

// The live endpoints of one built-in topic (DCPSPublication or DCPSSubscription). Throws
// std::runtime_error starting with `failure` once the node's context is shut down.
std::vector<DiscoveredEndpoint> discovered_endpoints(
  const NodeState & node, dds_entity_t builtin_topic, const std::string & failure)
{
  ContextState & context = node.context_state;
  // Held throughout: shutdown deletes the participant, and with it the reader, under it.
  std::lock_guard<std::mutex> lock(context.mutex);
  if (!context.alive(node.generation)) {
    throw std::runtime_error(failure + ": rcl node's context is invalid");
  }
  // A reader for this question alone: a new built-in reader starts out with every endpoint
  // known at that moment, and nothing accumulates between questions.
  const dds_entity_t reader =
    dds_create_reader(context.dds.participant, builtin_topic, nullptr, nullptr);
  if (reader < 0) {
    throw std::runtime_error(failure + ": " + dds_strretcode(reader));
  }

  std::vector<DiscoveredEndpoint> endpoints;
  constexpr size_t kBatch = 64;
  dds_return_t taken = 0;
  do {
    void * samples[kBatch] = {};
    dds_sample_info_t infos[kBatch];
    taken = dds_take_mask(
      reader, samples, infos, kBatch, kBatch,
      DDS_ANY_SAMPLE_STATE | DDS_ANY_VIEW_STATE | DDS_ALIVE_INSTANCE_STATE);
    for (dds_return_t i = 0; i < taken; ++i) {
      const auto * endpoint = static_cast<const dds_builtintopic_endpoint_t *>(samples[i]);
      if (
        infos[i].valid_data && endpoint->topic_name != nullptr && endpoint->type_name != nullptr) {
        endpoints.push_back({endpoint->topic_name, endpoint->type_name});
      }
    }
    if (taken > 0) {
      dds_return_loan(reader, samples, taken);
    }
  } while (taken > 0);
  dds_delete(reader);
  if (taken < 0) {
    throw std::runtime_error(failure + ": " + dds_strretcode(taken));
  }
  return endpoints;
}

}  // namespace

}  // namespace ros2_standin

namespace rclcpp
{

std::map<std::string, std::vector<std::string>> Node::get_topic_names_and_types() const
{
  const std::string failure = "failed to get topic names and types";
  // Sorted and without repeats, as ROS 2's graph cache gives them.
  std::map<std::string, std::set<std::string>> found;
  for (const dds_entity_t builtin_topic :
       {DDS_BUILTIN_TOPIC_DCPSPUBLICATION, DDS_BUILTIN_TOPIC_DCPSSUBSCRIPTION}) {
    for (const auto & endpoint :
         ros2_standin::discovered_endpoints(*state_, builtin_topic, failure)) {
      // Only ROS topics: ros_discovery_info and plain DDS topics stay out.
      if (const auto topic = ros2_standin::ros_topic_name(endpoint.topic_name)) {
        found[*topic].insert(ros2_standin::ros_type_name(endpoint.type_name));
      }
    }
  }
  std::map<std::string, std::vector<std::string>> topics_and_types;
  for (const auto & entry : found) {
    topics_and_types.emplace(
      entry.first, std::vector<std::string>(entry.second.begin(), entry.second.end()));
  }
  return topics_and_types;
}

size_t Node::count_publishers(const std::string & topic_name) const
{
  const std::string dds_name = ros2_standin::dds_topic_name(
    ros2_standin::expand_topic_name(topic_name, state_->name, state_->namespace_));
  size_t count = 0;
  for (const auto & endpoint : ros2_standin::discovered_endpoints(
         *state_, DDS_BUILTIN_TOPIC_DCPSPUBLICATION, "could not count publishers")) {
    if (endpoint.topic_name == dds_name) {
      ++count;
    }
  }
  return count;
}

std::vector<rclcpp::TopicEndpointInfo> Node::get_publishers_info_by_topic(
  const std::string & topic_name, bool /*no_mangle*/) const
{
  // Unlike count_publishers, rclcpp remaps here too.
  const std::string dds_name =
    ros2_standin::dds_topic_name(ros2_standin::resolve_topic_name(*state_, topic_name, false));
  std::vector<rclcpp::TopicEndpointInfo> publishers;
  for (const auto & endpoint : ros2_standin::discovered_endpoints(
         *state_, DDS_BUILTIN_TOPIC_DCPSPUBLICATION, "could not get publishers info")) {
    if (endpoint.topic_name == dds_name) {
      publishers.emplace_back(ros2_standin::ros_type_name(endpoint.type_name));
    }
  }
  return publishers;
}

rclcpp::Event::SharedPtr Node::get_graph_event()
{
  auto event = std::make_shared<rclcpp::Event>();
  ros2_standin::ContextState & context = state_->context_state;
  std::lock_guard<std::mutex> lock(context.mutex);
  if (!context.alive(state_->generation)) {
    throw std::runtime_error("failed to get the graph event: rcl node's context is invalid");
  }
  if (!context.graph_change_notifier) {
    context.graph_change_notifier =
      std::make_unique<ros2_standin::GraphChangeNotifier>(context.dds.participant);
  }
  context.graph_change_notifier->add(event);
  return event;
}

}  // namespace rclcpp
