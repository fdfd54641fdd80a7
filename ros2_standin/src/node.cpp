#include "rclcpp/node.hpp"

#include <algorithm>
#include <memory>
#include <string>

#include "discovery_info.hpp"
#include "names.hpp"
#include "node_state.hpp"
#include "rcl_errors.hpp"
#include "rclcpp/contexts/default_context.hpp"
#include "rclcpp/exceptions/exceptions.hpp"

namespace ros2_standin
{

namespace
{

template <typename T>
void prune_and_add(std::vector<std::weak_ptr<T>> & entries, const std::shared_ptr<T> & entry)
{
  entries.erase(
    std::remove_if(
      entries.begin(), entries.end(), [](const std::weak_ptr<T> & weak) { return weak.expired(); }),
    entries.end());
  entries.push_back(entry);
}

std::shared_ptr<NodeState> make_registered_node_state(
  const std::string & node_name, const std::string & namespace_,
  const rclcpp::Context::SharedPtr & context)
{
  ContextState & context_state = ContextAccess::state(*context);
  std::lock_guard<std::mutex> lock(context_state.mutex);

  // rclcpp's node first makes a guard condition on the context, which is what fails:
  // with an invalid argument before init, with "not init" after shutdown.
  if (!context_state.ever_initialized) {
    throw_rcl_error(
      RCL_RET_INVALID_ARGUMENT, "failed to create guard condition", "context argument is null");
  }
  if (!context_state.valid) {
    throw_rcl_error(
      RCL_RET_NOT_INIT, "failed to create guard condition",
      "the given context is not valid, either rcl_init() was not called or rcl_shutdown() was "
      "called.");
  }

  if (auto problem = validate_node_name(node_name)) {
    throw rclcpp::exceptions::InvalidNodeNameError(
      node_name.c_str(), problem->message.c_str(), problem->index);
  }
  const std::string absolute = absolute_namespace(namespace_);
  if (auto problem = validate_namespace(absolute)) {
    throw rclcpp::exceptions::InvalidNamespaceError(
      absolute.c_str(), problem->message.c_str(), problem->index);
  }

  auto state = std::make_shared<NodeState>(context, context_state.generation);
  state->name = node_name;
  state->namespace_ = absolute;
  state->fully_qualified_name = fully_qualified_node_name(node_name, absolute);
  state->graph_id = context_state.graph.add_node(absolute, node_name);
  return state;
}

}  // namespace

NodeState::NodeState(rclcpp::Context::SharedPtr context_arg, uint64_t generation_arg)
: context(std::move(context_arg))
, context_state(ContextAccess::state(*context))
, generation(generation_arg)
, clock(std::make_shared<rclcpp::Clock>(RCL_ROS_TIME))
{
}

NodeState::~NodeState()
{
  if (graph_id == 0) {
    return;
  }
  bool changed = false;
  {
    std::lock_guard<std::mutex> lock(context_state.mutex);
    // After shutdown the graph went with the participant.
    changed = context_state.alive(generation) && context_state.graph.remove_node(graph_id);
  }
  if (changed) {
    publish_discovery_info(context_state);
  }
}

std::vector<std::shared_ptr<rclcpp::SubscriptionBase>> NodeState::live_subscriptions()
{
  std::lock_guard<std::mutex> lock(mutex);
  std::vector<std::shared_ptr<rclcpp::SubscriptionBase>> live;
  for (const auto & weak : subscriptions) {
    if (auto subscription = weak.lock()) {
      live.push_back(std::move(subscription));
    }
  }
  return live;
}

std::shared_ptr<NodeState> make_node_state(
  const std::string & node_name, const std::string & namespace_, rclcpp::Context::SharedPtr context)
{
  if (!context) {
    context = rclcpp::contexts::get_global_default_context();
  }
  auto state = make_registered_node_state(node_name, namespace_, context);
  publish_discovery_info(state->context_state);
  return state;
}

}  // namespace ros2_standin

namespace rclcpp
{

Node::Node(const std::string & node_name, const NodeOptions & options)
: Node(node_name, "", options)
{
}

Node::Node(
  const std::string & node_name, const std::string & namespace_, const NodeOptions & options)
: state_(ros2_standin::make_node_state(node_name, namespace_, options.context()))
{
}

Node::~Node() = default;

const char * Node::get_name() const { return state_->name.c_str(); }

const char * Node::get_namespace() const { return state_->namespace_.c_str(); }

const char * Node::get_fully_qualified_name() const { return state_->fully_qualified_name.c_str(); }

Clock::SharedPtr Node::get_clock() { return state_->clock; }

Clock::ConstSharedPtr Node::get_clock() const { return state_->clock; }

Time Node::now() const { return state_->clock->now(); }

void Node::register_publisher(const std::shared_ptr<PublisherBase> & publisher)
{
  std::lock_guard<std::mutex> lock(state_->mutex);
  ros2_standin::prune_and_add(state_->publishers, publisher);
}

void Node::register_subscription(const std::shared_ptr<SubscriptionBase> & subscription)
{
  std::lock_guard<std::mutex> lock(state_->mutex);
  ros2_standin::prune_and_add(state_->subscriptions, subscription);
}

}  // namespace rclcpp
