#ifndef ROS2_STANDIN__SRC__NODE_STATE_HPP_
#define ROS2_STANDIN__SRC__NODE_STATE_HPP_

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "context_state.hpp"
#include "node_parameters.hpp"
#include "rclcpp/clock.hpp"
#include "rclcpp/context.hpp"
#include "rclcpp/node.hpp"
#include "rclcpp/node_options.hpp"
#include "rclcpp/publisher_base.hpp"
#include "rclcpp/subscription_base.hpp"
#include "time_source.hpp"

namespace ros2_standin
{

struct NodeState
{
  // Keeps the context (and thereby its state) alive as long as any entity of the node.
  rclcpp::Context::SharedPtr context;
  ContextState & context_state;
  uint64_t generation;
  std::string name;
  std::string namespace_;
  std::string fully_qualified_name;
  // The node's own arguments (NodeOptions::arguments) and the context's, null when the node
  // ignores those; rcl consults the node's first. Set before the node is shared.
  std::shared_ptr<const RosArguments> local_arguments;
  std::shared_ptr<const RosArguments> global_arguments;
  // Set up by the Node constructor, after the names.
  std::unique_ptr<NodeParameters> parameters;
  std::shared_ptr<rclcpp::Clock> clock;
  // Makes `clock` follow /clock while use_sim_time is true.
  std::unique_ptr<TimeSource> time_source;
  std::atomic_bool in_executor{false};
  // The node's entry in the context's graph; 0 until registered there.
  uint64_t graph_id = 0;

  std::mutex mutex;
  std::vector<std::weak_ptr<rclcpp::PublisherBase>> publishers;
  std::vector<std::weak_ptr<rclcpp::SubscriptionBase>> subscriptions;

  NodeState(rclcpp::Context::SharedPtr context_arg, uint64_t generation_arg);
  // Leaves the graph: the node lives until its last publisher or subscription is gone, as
  // rclcpp's node handle does.
  ~NodeState();
  NodeState(const NodeState &) = delete;
  NodeState & operator=(const NodeState &) = delete;

  std::vector<std::shared_ptr<rclcpp::SubscriptionBase>> live_subscriptions();
};

// Validates the context, the node's arguments and its names, then remaps the names, as
// rcl_node_init does, throwing rclcpp's exceptions; the node then shows in the ROS graph.
std::shared_ptr<NodeState> make_node_state(
  const std::string & node_name, const std::string & namespace_,
  const rclcpp::NodeOptions & options);

struct NodeAccess
{
  static const std::shared_ptr<NodeState> & state(const rclcpp::Node & node) { return node.state_; }
};

}  // namespace ros2_standin

#endif  // ROS2_STANDIN__SRC__NODE_STATE_HPP_
