#ifndef RCLCPP__EVENT_HPP_
#define RCLCPP__EVENT_HPP_

#include <atomic>

#include "rclcpp/macros.hpp"
#include "rclcpp/visibility_control.hpp"

namespace rclcpp
{

// A flag another thread sets, such as the one Node::get_graph_event() hands out.
class Event
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS(Event)

  RCLCPP_PUBLIC
  Event();

  // Each returns the state it found.
  RCLCPP_PUBLIC
  bool set();

  RCLCPP_PUBLIC
  bool check();

  RCLCPP_PUBLIC
  bool check_and_clear();

private:
  RCLCPP_DISABLE_COPY(Event)

  std::atomic_bool state_;
};

}  // namespace rclcpp

#endif  // RCLCPP__EVENT_HPP_
