#ifndef RCLCPP__GENERIC_SUBSCRIPTION_HPP_
#define RCLCPP__GENERIC_SUBSCRIPTION_HPP_

#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "rclcpp/macros.hpp"
#include "rclcpp/qos.hpp"
#include "rclcpp/serialized_message.hpp"
#include "rclcpp/subscription_base.hpp"
#include "rclcpp/subscription_options.hpp"
#include "rclcpp/visibility_control.hpp"

namespace rclcpp
{

// A subscription that hands over each message in its serialized form (CDR encapsulation header,
// then the body, exactly as it travelled), for a type known only by its name at run time.
// Made by Node::create_generic_subscription. Unlike rclcpp, the stand-in needs no type support
// library for the type: any name of the form package/msg/Type is accepted.
class RCLCPP_PUBLIC_TYPE GenericSubscription : public rclcpp::SubscriptionBase
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS(GenericSubscription)

  template <typename AllocatorT = std::allocator<void>>
  GenericSubscription(
    std::shared_ptr<ros2_standin::NodeState> node, const std::string & topic_name,
    const std::string & topic_type, const rclcpp::QoS & qos,
    std::function<void(std::shared_ptr<rclcpp::SerializedMessage>)> callback,
    const rclcpp::SubscriptionOptionsWithAllocator<AllocatorT> & options)
  : SubscriptionBase(std::move(node), topic_name, topic_type, qos, options)
  , callback_(std::move(callback))
  {
  }

  RCLCPP_PUBLIC
  ~GenericSubscription() override;

  GenericSubscription(const GenericSubscription &) = delete;
  GenericSubscription & operator=(const GenericSubscription &) = delete;

private:
  bool take_and_dispatch() override;

  std::function<void(std::shared_ptr<rclcpp::SerializedMessage>)> callback_;
};

}  // namespace rclcpp

#endif  // RCLCPP__GENERIC_SUBSCRIPTION_HPP_
