#ifndef RCLCPP__CLOCK_HPP_
#define RCLCPP__CLOCK_HPP_

#include <memory>

#include "rcl/time.h"
#include "rclcpp/macros.hpp"
#include "rclcpp/time.hpp"
#include "rclcpp/visibility_control.hpp"

namespace ros2_standin
{
struct ClockAccess;
}  // namespace ros2_standin

namespace rclcpp
{

// Copies share one clock, as in rclcpp.
class RCLCPP_PUBLIC_TYPE Clock
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS(Clock)

  // RCL_ROS_TIME reads the system clock unless a node with use_sim_time set makes it follow
  // /clock.
  RCLCPP_PUBLIC
  explicit Clock(rcl_clock_type_t clock_type = RCL_SYSTEM_TIME);

  RCLCPP_PUBLIC
  ~Clock();

  // Throws rclcpp::exceptions::RCLError for an uninitialised clock type, as rclcpp does.
  // While ROS time is active: the last time received from /clock, zero before the first.
  RCLCPP_PUBLIC
  Time now();

  // True while the clock follows /clock. Throws rclcpp::exceptions::RCLError unless the clock
  // is of type RCL_ROS_TIME, as rclcpp does.
  RCLCPP_PUBLIC
  bool ros_time_is_active();

  RCLCPP_PUBLIC
  rcl_clock_type_t get_clock_type() const noexcept;

private:
  friend struct ros2_standin::ClockAccess;

  class Impl;
  std::shared_ptr<Impl> impl_;
};

}  // namespace rclcpp

#endif  // RCLCPP__CLOCK_HPP_
