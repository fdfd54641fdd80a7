#include "rclcpp/generic_subscription.hpp"

#include <memory>

namespace rclcpp
{

GenericSubscription::~GenericSubscription() = default;

bool GenericSubscription::take_and_dispatch()
{
  // A fresh message each time: the callback may keep it.
  auto message = std::make_shared<rclcpp::SerializedMessage>();
  if (!take_serialized(*message)) {
    return false;
  }
  callback_(std::move(message));
  return true;
}

}  // namespace rclcpp
