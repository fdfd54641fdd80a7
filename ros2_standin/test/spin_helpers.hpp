#ifndef ROS2_STANDIN__TEST__SPIN_HELPERS_HPP_
#define ROS2_STANDIN__TEST__SPIN_HELPERS_HPP_

#include <chrono>
#include <functional>

#include "rclcpp/rclcpp.hpp"
#include "wait_until.hpp"

namespace standin_test
{

// Spins `executor` until `done` holds or the discovery deadline passes; returns `done()`.
inline bool spin_until(
  rclcpp::Executor & executor, const std::function<bool()> & done,
  std::chrono::milliseconds deadline = kDiscoveryDeadline)
{
  const auto end = std::chrono::steady_clock::now() + deadline;
  while (!done() && std::chrono::steady_clock::now() < end) {
    executor.spin_once(std::chrono::milliseconds(100));
  }
  return done();
}

}  // namespace standin_test

#endif  // ROS2_STANDIN__TEST__SPIN_HELPERS_HPP_
