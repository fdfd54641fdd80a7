#ifndef ROS2_STANDIN__SRC__CONTEXT_STATE_HPP_
#define ROS2_STANDIN__SRC__CONTEXT_STATE_HPP_

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "graph_change_notifier.hpp"
#include "node_graph.hpp"
#include "participant.hpp"
#include "rclcpp/context.hpp"
#include "rclcpp/init_options.hpp"
#include "ros_arguments.hpp"

namespace ros2_standin
{

struct ContextState
{
  // Orders the samples of "ros_discovery_info" (see publish_discovery_info); when both are
  // needed, taken before `mutex`.
  std::mutex discovery_mutex;
  // Guards everything below; DDS entities are created and deleted under it so that shutdown
  // never deletes the participant underneath a half-made publisher.
  mutable std::mutex mutex;
  std::condition_variable sleep_condition;
  uint64_t sleep_interruptions = 0;

  // rcl distinguishes a context never initialised (null) from one shut down (invalid).
  bool ever_initialized = false;
  bool valid = false;
  // Bumped by every init, so that entities of an earlier initialisation count as dead.
  uint64_t generation = 0;
  std::string shutdown_reason;
  rclcpp::InitOptions init_options;
  // The command line of the latest init, which every node consults unless it ignores it.
  std::shared_ptr<const RosArguments> global_arguments;
  uint32_t domain_id = 0;
  ParticipantHandles dds;

  std::vector<std::shared_ptr<rclcpp::Context::OnShutdownCallback>> on_shutdown_callbacks;
  // The nodes this context shows to ROS 2 graph tools, of the live initialisation only.
  NodeGraph graph;
  // Made by the first graph event a node asks for; goes with the participant.
  std::unique_ptr<GraphChangeNotifier> graph_change_notifier;

  // True when `generation` is the live initialisation; call with `mutex` held.
  bool alive(uint64_t entity_generation) const { return valid && generation == entity_generation; }
};

struct ContextAccess
{
  static ContextState & state(const rclcpp::Context & context) { return *context.state_; }
};

// Contexts that were initialised and may still be valid, for the signal handler.
std::vector<std::shared_ptr<rclcpp::Context>> initialized_contexts();

}  // namespace ros2_standin

#endif  // ROS2_STANDIN__SRC__CONTEXT_STATE_HPP_
