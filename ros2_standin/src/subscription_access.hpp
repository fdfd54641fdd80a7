#ifndef ROS2_STANDIN__SRC__SUBSCRIPTION_ACCESS_HPP_
#define ROS2_STANDIN__SRC__SUBSCRIPTION_ACCESS_HPP_

#include <cstdint>

#include "rclcpp/subscription_base.hpp"

namespace ros2_standin
{

// What an executor needs of a subscription beyond its public interface.
struct SubscriptionAccess
{
  static int32_t read_condition(const rclcpp::SubscriptionBase & subscription)
  {
    return subscription.read_condition_;
  }
  static bool take_and_dispatch(rclcpp::SubscriptionBase & subscription)
  {
    return subscription.take_and_dispatch();
  }
};

}  // namespace ros2_standin

#endif  // ROS2_STANDIN__SRC__SUBSCRIPTION_ACCESS_HPP_
