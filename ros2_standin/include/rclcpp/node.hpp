#ifndef RCLCPP__NODE_HPP_
#define RCLCPP__NODE_HPP_

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "rcl_interfaces/msg/parameter_descriptor.hpp"
#include "rclcpp/clock.hpp"
#include "rclcpp/context.hpp"
#include "rclcpp/event.hpp"
#include "rclcpp/generic_subscription.hpp"
#include "rclcpp/macros.hpp"
#include "rclcpp/node_interfaces/node_graph_interface.hpp"
#include "rclcpp/node_interfaces/node_topics_interface.hpp"
#include "rclcpp/node_options.hpp"
#include "rclcpp/parameter.hpp"
#include "rclcpp/parameter_value.hpp"
#include "rclcpp/publisher.hpp"
#include "rclcpp/publisher_options.hpp"
#include "rclcpp/qos.hpp"
#include "rclcpp/serialized_message.hpp"
#include "rclcpp/subscription.hpp"
#include "rclcpp/subscription_options.hpp"
#include "rclcpp/time.hpp"
#include "rclcpp/visibility_control.hpp"

namespace ros2_standin
{
struct NodeState;
struct NodeAccess;
}  // namespace ros2_standin

namespace rclcpp
{

class RCLCPP_PUBLIC_TYPE Node : public std::enable_shared_from_this<Node>
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS(Node)

  // Takes the name and namespace as remapped by __node and __ns rules, and declares the
  // parameter use_sim_time (false unless overridden). Throws, as rclcpp does:
  // RCLInvalidArgument before init, RCLError after shutdown, InvalidNodeNameError or
  // InvalidNamespaceError for names ROS 2 rejects, RCLInvalidROSArgsError or
  // UnknownROSArgsError for options.arguments() it cannot take, and what declare_parameter
  // throws for an override of use_sim_time that is not a bool.
  RCLCPP_PUBLIC
  explicit Node(const std::string & node_name, const NodeOptions & options = NodeOptions());

  RCLCPP_PUBLIC
  explicit Node(
    const std::string & node_name, const std::string & namespace_,
    const NodeOptions & options = NodeOptions());

  RCLCPP_PUBLIC
  virtual ~Node();

  RCLCPP_PUBLIC
  const char * get_name() const;

  RCLCPP_PUBLIC
  const char * get_namespace() const;

  RCLCPP_PUBLIC
  const char * get_fully_qualified_name() const;

  // Relative names resolve against the node's namespace, "~" against its fully qualified name;
  // then the remap rules apply (the node's own before the command line's).
  template <
    typename MessageT, typename AllocatorT = std::allocator<void>,
    typename PublisherT = rclcpp::Publisher<MessageT, AllocatorT>>
  std::shared_ptr<PublisherT> create_publisher(
    const std::string & topic_name, const rclcpp::QoS & qos,
    const PublisherOptionsWithAllocator<AllocatorT> & options =
      PublisherOptionsWithAllocator<AllocatorT>())
  {
    auto publisher = std::make_shared<PublisherT>(state_, topic_name, qos, options);
    register_publisher(publisher);
    return publisher;
  }

  template <
    typename MessageT, typename CallbackT, typename AllocatorT = std::allocator<void>,
    typename SubscriptionT = rclcpp::Subscription<MessageT, AllocatorT>>
  std::shared_ptr<SubscriptionT> create_subscription(
    const std::string & topic_name, const rclcpp::QoS & qos, CallbackT && callback,
    const SubscriptionOptionsWithAllocator<AllocatorT> & options =
      SubscriptionOptionsWithAllocator<AllocatorT>())
  {
    auto subscription = std::make_shared<SubscriptionT>(
      state_, topic_name, qos, std::forward<CallbackT>(callback), options);
    register_subscription(subscription);
    return subscription;
  }

  // Receives the messages of `topic_type` ("sensor_msgs/msg/LaserScan") in serialized form,
  // without knowing the type's layout; the callback runs in the executor's spin. Throws
  // std::runtime_error for a type name not of the form package/type, otherwise as
  // create_subscription.
  template <typename AllocatorT = std::allocator<void>>
  std::shared_ptr<rclcpp::GenericSubscription> create_generic_subscription(
    const std::string & topic_name, const std::string & topic_type, const rclcpp::QoS & qos,
    std::function<void(std::shared_ptr<rclcpp::SerializedMessage>)> callback,
    const rclcpp::SubscriptionOptionsWithAllocator<AllocatorT> & options =
      (rclcpp::SubscriptionOptionsWithAllocator<AllocatorT>()))
  {
    auto subscription = std::make_shared<rclcpp::GenericSubscription>(
      state_, topic_name, topic_type, qos, std::move(callback), options);
    register_subscription(subscription);
    return subscription;
  }

  // Every ROS topic DDS discovery knows of in the node's domain, with its types, both from
  // readers and writers, this process's included: {"/scan", {"sensor_msgs/msg/LaserScan"}}.
  // Throws std::runtime_error once the context is shut down.
  RCLCPP_PUBLIC
  std::map<std::string, std::vector<std::string>> get_topic_names_and_types() const;

  // Writers on the topic (expanded as for a publisher, but not remapped: neither is it in
  // rclcpp) known to DDS discovery, the node's own included. Throws InvalidTopicNameError for a bad name, std::runtime_error once the context
  // is shut down.
  RCLCPP_PUBLIC
  size_t count_publishers(const std::string & topic_name) const;

  // The writers on the topic as the node's own endpoints would name it (expanded and, as in
  // rclcpp, remapped), each with its type ("std_msgs/msg/Header"): a topic whose publishers
  // changed type tells its old type from its new one here. `no_mangle` is accepted for rclcpp's
  // signature and ignored. Throws as count_publishers.
  RCLCPP_PUBLIC
  std::vector<rclcpp::TopicEndpointInfo> get_publishers_info_by_topic(
    const std::string & topic_name, bool no_mangle = false) const;

  // An event set on every change of the ROS graph (a reader or writer of a ROS topic appearing
  // or going, in any process of the domain), and at shutdown; check_and_clear() tells whether there was one since.
  // Throws std::runtime_error once the context is shut down.
  RCLCPP_PUBLIC
  rclcpp::Event::SharedPtr get_graph_event();

  // The value declared: the parameter's override (from the node options, the node's arguments
  // or the command line) unless `ignore_override`, else `default_value`. Unless the descriptor
  // asks for dynamic typing, the parameter keeps the type of its value. Throws, as rclcpp:
  // exceptions::ParameterAlreadyDeclaredException, exceptions::InvalidParametersException for an
  // empty name, exceptions::InvalidParameterTypeException for an override of another type,
  // exceptions::InvalidParameterValueException for a value outside the descriptor's range.
  RCLCPP_PUBLIC
  const rclcpp::ParameterValue & declare_parameter(
    const std::string & name, const rclcpp::ParameterValue & default_value,
    const rcl_interfaces::msg::ParameterDescriptor & parameter_descriptor =
      rcl_interfaces::msg::ParameterDescriptor(),
    bool ignore_override = false);

  // Of the given type, without a value unless overridden.
  RCLCPP_PUBLIC
  const rclcpp::ParameterValue & declare_parameter(
    const std::string & name, rclcpp::ParameterType type,
    const rcl_interfaces::msg::ParameterDescriptor & parameter_descriptor =
      rcl_interfaces::msg::ParameterDescriptor{},
    bool ignore_override = false);

  // The value as ParameterT reads it (int64_t for int).
  template <typename ParameterT>
  auto declare_parameter(
    const std::string & name, const ParameterT & default_value,
    const rcl_interfaces::msg::ParameterDescriptor & parameter_descriptor =
      rcl_interfaces::msg::ParameterDescriptor(),
    bool ignore_override = false);

  // Without a default: throws exceptions::UninitializedStaticallyTypedParameterException when
  // nothing overrides it (the parameter stays declared, without a value).
  template <typename ParameterT>
  auto declare_parameter(
    const std::string & name,
    const rcl_interfaces::msg::ParameterDescriptor & parameter_descriptor =
      rcl_interfaces::msg::ParameterDescriptor(),
    bool ignore_override = false);

  RCLCPP_PUBLIC
  bool has_parameter(const std::string & name) const;

  // Throws exceptions::ParameterNotDeclaredException for an undeclared parameter (unless the
  // node options allow those: then an unnamed, unset parameter comes back) and
  // exceptions::ParameterUninitializedException for one declared without a value.
  RCLCPP_PUBLIC
  rclcpp::Parameter get_parameter(const std::string & name) const;

  // False for a parameter undeclared or without a value.
  RCLCPP_PUBLIC
  bool get_parameter(const std::string & name, rclcpp::Parameter & parameter) const;

  // The same, converted to ParameterT; throws exceptions::InvalidParameterTypeException when the
  // value is of another type.
  template <typename ParameterT>
  bool get_parameter(const std::string & name, ParameterT & parameter) const;

  template <typename ParameterT>
  bool get_parameter_or(
    const std::string & name, ParameterT & parameter, const ParameterT & alternative_value) const;

  template <typename ParameterT>
  ParameterT get_parameter_or(const std::string & name, const ParameterT & alternative_value) const;

  // Resolves topic names as the node's publishers and subscriptions do.
  RCLCPP_PUBLIC
  rclcpp::node_interfaces::NodeTopicsInterface::SharedPtr get_node_topics_interface();

  // A clock of type RCL_ROS_TIME.
  RCLCPP_PUBLIC
  rclcpp::Clock::SharedPtr get_clock();

  RCLCPP_PUBLIC
  rclcpp::Clock::ConstSharedPtr get_clock() const;

  RCLCPP_PUBLIC
  Time now() const;

  Node(const Node &) = delete;
  Node & operator=(const Node &) = delete;

private:
  friend struct ros2_standin::NodeAccess;

  RCLCPP_PUBLIC
  void register_publisher(const std::shared_ptr<PublisherBase> & publisher);

  RCLCPP_PUBLIC
  void register_subscription(const std::shared_ptr<SubscriptionBase> & subscription);

  std::shared_ptr<ros2_standin::NodeState> state_;
  rclcpp::node_interfaces::NodeTopicsInterface::SharedPtr node_topics_;
};

}  // namespace rclcpp

#include "rclcpp/node_impl.hpp"

#endif  // RCLCPP__NODE_HPP_
