#ifndef RCLCPP__SUBSCRIPTION_HPP_
#define RCLCPP__SUBSCRIPTION_HPP_

#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>

#include "rclcpp/macros.hpp"
#include "rclcpp/qos.hpp"
#include "rclcpp/subscription_base.hpp"
#include "rclcpp/subscription_options.hpp"
#include "ros2_standin/message_type_support.hpp"

namespace rclcpp
{
namespace detail
{

template <typename>
struct dependent_false : std::false_type
{
};

// Adapts the callback signatures rclcpp accepts for a plain message: const MessageT &,
// std::shared_ptr<const MessageT>, std::shared_ptr<MessageT> and std::unique_ptr<MessageT>.
template <typename MessageT, typename CallbackT>
std::function<void(std::unique_ptr<MessageT>)> make_message_dispatcher(CallbackT && callback)
{
  using CallbackType = std::decay_t<CallbackT>;
  if constexpr (std::is_invocable_v<CallbackType &, const MessageT &>) {
    return [callback = CallbackType(std::forward<CallbackT>(callback))](
             std::unique_ptr<MessageT> message) mutable { callback(*message); };
  } else if constexpr (std::is_invocable_v<CallbackType &, std::unique_ptr<MessageT>>) {
    // Also covers both shared_ptr forms: they are built from the unique_ptr.
    return [callback = CallbackType(std::forward<CallbackT>(callback))](
             std::unique_ptr<MessageT> message) mutable { callback(std::move(message)); };
  } else {
    static_assert(
      dependent_false<CallbackType>::value,
      "subscription callback must take const MessageT &, std::shared_ptr<const MessageT>, "
      "std::shared_ptr<MessageT> or std::unique_ptr<MessageT>");
  }
}

}  // namespace detail

template <typename MessageT, typename AllocatorT = std::allocator<void>>
class Subscription : public SubscriptionBase
{
public:
  using ROSMessageType = MessageT;

  RCLCPP_SMART_PTR_DEFINITIONS(Subscription)

  template <typename CallbackT>
  Subscription(
    std::shared_ptr<ros2_standin::NodeState> node, const std::string & topic,
    const rclcpp::QoS & qos, CallbackT && callback,
    const rclcpp::SubscriptionOptionsWithAllocator<AllocatorT> & options)
  : SubscriptionBase(
      std::move(node), topic, qos, ros2_standin::get_message_type_support<MessageT>(), options)
  , callback_(detail::make_message_dispatcher<MessageT>(std::forward<CallbackT>(callback)))
  {
  }

  ~Subscription() override = default;

private:
  bool take_and_dispatch() override
  {
    auto message = std::make_unique<MessageT>();
    if (!this->take_type_erased(message.get())) {
      return false;
    }
    callback_(std::move(message));
    return true;
  }

  std::function<void(std::unique_ptr<MessageT>)> callback_;
};

}  // namespace rclcpp

#endif  // RCLCPP__SUBSCRIPTION_HPP_
