#include "rclcpp/node.hpp"

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>

#include "discovery_info.hpp"
#include "names.hpp"
#include "node_parameters.hpp"
#include "node_state.hpp"
#include "node_topics.hpp"
#include "rcl_errors.hpp"
#include "rclcpp/contexts/default_context.hpp"
#include "rclcpp/exceptions/exceptions.hpp"
#include "remap_rules.hpp"
#include "ros_arguments.hpp"

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

// rclcpp's node makes a guard condition on the context, which is what fails: with an invalid
// argument before init, with "not init" after shutdown. Call with the context's mutex.
void check_context_usable(const ContextState & context_state)
{
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
}

std::shared_ptr<const RosArguments> node_arguments(const rclcpp::NodeOptions & options)
{
  auto arguments = std::make_shared<const RosArguments>(
    parse_ros_arguments(options.arguments(), "failed to parse arguments"));
  if (!arguments->unknown_ros_arguments.empty()) {
    auto unknown = arguments->unknown_ros_arguments;
    throw rclcpp::exceptions::UnknownROSArgsError(std::move(unknown));
  }
  return arguments;
}

struct NodeNames
{
  std::string name;
  std::string namespace_;
};

// Validates the names as given, then applies the __node and __ns rules, as rcl_node_init does.
NodeNames remapped_names(
  const std::string & node_name, const std::string & namespace_, const RemapSources & rules)
{
  if (auto problem = validate_node_name(node_name)) {
    throw rclcpp::exceptions::InvalidNodeNameError(
      node_name.c_str(), problem->message.c_str(), problem->index);
  }
  NodeNames names{node_name, absolute_namespace(namespace_)};
  if (auto problem = validate_namespace(names.namespace_)) {
    throw rclcpp::exceptions::InvalidNamespaceError(
      names.namespace_.c_str(), problem->message.c_str(), problem->index);
  }
  names.name = remap_node_name(rules, node_name).value_or(node_name);
  // A node-specific __ns rule names the node by its new name.
  if (auto remapped = remap_namespace(rules, names.name)) {
    // The rule's syntax lets a trailing slash through, which the middleware then refuses.
    if (auto problem = validate_namespace(*remapped)) {
      throw_rcl_error(
        RCL_RET_ERROR, "failed to initialize rcl node",
        "invalid node namespace: " + problem->message);
    }
    names.namespace_ = *remapped;
  }
  return names;
}

// What rclcpp's NodeParameters sets up: the overrides, and with the option, their declaration.
std::unique_ptr<NodeParameters> make_node_parameters(
  const NodeState & node, const rclcpp::NodeOptions & options)
{
  auto parameters = std::make_unique<NodeParameters>(
    resolve_parameter_overrides(
      node.fully_qualified_name, node.global_arguments.get(), *node.local_arguments,
      options.parameter_overrides()),
    options.allow_undeclared_parameters());
  if (options.automatically_declare_parameters_from_overrides()) {
    parameters->declare_overrides();
  }
  return parameters;
}

// As rclcpp's TimeSource: declared as false, overrides permitting, unless already declared
// from the overrides; a bool either way.
bool declare_use_sim_time(NodeParameters & parameters)
{
  const std::string name = "use_sim_time";
  const rclcpp::ParameterValue value =
    parameters.has(name)
      ? parameters.get(name).get_parameter_value()
      : parameters.declare(
          name, rclcpp::ParameterValue(false), rcl_interfaces::msg::ParameterDescriptor(), false);
  if (value.get_type() != rclcpp::PARAMETER_BOOL) {
    throw std::invalid_argument("Invalid type for parameter 'use_sim_time', should be 'bool'");
  }
  return value.get<bool>();
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
  const std::string & node_name, const std::string & namespace_,
  const rclcpp::NodeOptions & options)
{
  // rclcpp parses the options before it looks at the context.
  const auto local_arguments = node_arguments(options);
  rclcpp::Context::SharedPtr context = options.context();
  if (!context) {
    context = rclcpp::contexts::get_global_default_context();
  }
  ContextState & context_state = ContextAccess::state(*context);
  std::shared_ptr<NodeState> state;
  {
    std::lock_guard<std::mutex> lock(context_state.mutex);
    check_context_usable(context_state);
    std::shared_ptr<const RosArguments> global_arguments;
    if (options.use_global_arguments()) {
      global_arguments = context_state.global_arguments;
    }
    RemapSources rules;
    rules.local = &local_arguments->remap_rules;
    rules.global = global_arguments ? &global_arguments->remap_rules : nullptr;
    const NodeNames names = remapped_names(node_name, namespace_, rules);

    state = std::make_shared<NodeState>(context, context_state.generation);
    state->name = names.name;
    state->namespace_ = names.namespace_;
    state->fully_qualified_name = fully_qualified_node_name(names.name, names.namespace_);
    state->local_arguments = local_arguments;
    state->global_arguments = std::move(global_arguments);
    state->graph_id = context_state.graph.add_node(names.namespace_, names.name);
  }
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
: state_(ros2_standin::make_node_state(node_name, namespace_, options))
, node_topics_(std::make_shared<ros2_standin::NodeTopics>(state_))
{
  state_->parameters = ros2_standin::make_node_parameters(*state_, options);
  const bool use_sim_time = ros2_standin::declare_use_sim_time(*state_->parameters);
  // simulated time: wired by the clock
  if (use_sim_time) {
    state_->time_source = std::make_unique<ros2_standin::TimeSource>(*state_);
  }
}

Node::~Node() = default;

const char * Node::get_name() const { return state_->name.c_str(); }

const char * Node::get_namespace() const { return state_->namespace_.c_str(); }

const char * Node::get_fully_qualified_name() const { return state_->fully_qualified_name.c_str(); }

Clock::SharedPtr Node::get_clock() { return state_->clock; }

Clock::ConstSharedPtr Node::get_clock() const { return state_->clock; }

Time Node::now() const { return state_->clock->now(); }

const ParameterValue & Node::declare_parameter(
  const std::string & name, const ParameterValue & default_value,
  const rcl_interfaces::msg::ParameterDescriptor & parameter_descriptor, bool ignore_override)
{
  return state_->parameters->declare(name, default_value, parameter_descriptor, ignore_override);
}

const ParameterValue & Node::declare_parameter(
  const std::string & name, ParameterType type,
  const rcl_interfaces::msg::ParameterDescriptor & parameter_descriptor, bool ignore_override)
{
  return state_->parameters->declare(name, type, parameter_descriptor, ignore_override);
}

bool Node::has_parameter(const std::string & name) const { return state_->parameters->has(name); }

Parameter Node::get_parameter(const std::string & name) const
{
  return state_->parameters->get(name);
}

bool Node::get_parameter(const std::string & name, Parameter & parameter) const
{
  return state_->parameters->get(name, parameter);
}

node_interfaces::NodeTopicsInterface::SharedPtr Node::get_node_topics_interface()
{
  return node_topics_;
}

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
