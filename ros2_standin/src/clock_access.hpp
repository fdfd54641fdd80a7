#ifndef ROS2_STANDIN__SRC__CLOCK_ACCESS_HPP_
#define ROS2_STANDIN__SRC__CLOCK_ACCESS_HPP_

#include "rcl/time.h"
#include "rclcpp/clock.hpp"

namespace ros2_standin
{

// What rcl's ROS time override gives rclcpp's TimeSource. Each call throws
// rclcpp::exceptions::RCLError for a clock not of type RCL_ROS_TIME, as rcl refuses.
struct ClockAccess
{
  // While enabled, now() answers the override time instead of the system time.
  static void enable_ros_time_override(rclcpp::Clock & clock);
  static void disable_ros_time_override(rclcpp::Clock & clock);
  // Kept also while disabled, for the next enable.
  static void set_ros_time_override(rclcpp::Clock & clock, rcl_time_point_value_t time);
};

}  // namespace ros2_standin

#endif  // ROS2_STANDIN__SRC__CLOCK_ACCESS_HPP_
