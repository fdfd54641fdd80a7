#ifndef RCLCPP__NODE_HPP_
#define RCLCPP__NODE_HPP_

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "rclcpp/clock.hpp"
#include "rclcpp/context.hpp"
#include "rclcpp/generic_subscription.hpp"
#include "rclcpp/macros.hpp"
#include "rclcpp/node_options.hpp"
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

  // Throws, as rclcpp does: RCLInvalidArgument before init, RCLError after shutdown,
  // InvalidNodeNameError or InvalidNamespaceError for names ROS 2 rejects.
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

  // Relative names resolve against the node's namespace, "~" against its fully qualified name.
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

  // Writers on the topic (expanded as for a publisher) known to DDS discovery, the node's own
  // included. Throws InvalidTopicNameError for a bad name, std::runtime_error once the context
  // is shut down.
  RCLCPP_PUBLIC
  size_t count_publishers(const std::string & topic_name) const;

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
};

}  // namespace rclcpp

#endif  // RCLCPP__NODE_HPP_
