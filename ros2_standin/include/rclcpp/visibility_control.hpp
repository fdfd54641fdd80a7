#ifndef RCLCPP__VISIBILITY_CONTROL_HPP_
#define RCLCPP__VISIBILITY_CONTROL_HPP_

#include "ros2_standin/visibility_control.hpp"

#define RCLCPP_PUBLIC ROS2_STANDIN_PUBLIC
#define RCLCPP_PUBLIC_TYPE ROS2_STANDIN_PUBLIC
#define RCLCPP_LOCAL __attribute__((visibility("hidden")))

#endif  // RCLCPP__VISIBILITY_CONTROL_HPP_
