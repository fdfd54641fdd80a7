#include "rclcpp/event.hpp"

namespace rclcpp
{

Event::Event() : state_(false) {}

bool Event::set() { return state_.exchange(true); }

bool Event::check() { return state_.load(); }

bool Event::check_and_clear() { return state_.exchange(false); }

}  // namespace rclcpp
