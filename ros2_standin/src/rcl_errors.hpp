#ifndef ROS2_STANDIN__SRC__RCL_ERRORS_HPP_
#define ROS2_STANDIN__SRC__RCL_ERRORS_HPP_

#include <string>

#include "rcl/types.h"

namespace ros2_standin
{

// Throws what rclcpp throws for an rcl failure `ret` (RCLInvalidArgument, RCLBadAlloc,
// RCLInvalidROSArgsError or RCLError), with `message` as the rcl error text, located at the
// caller.
[[noreturn]] void throw_rcl_error(
  rcl_ret_t ret, const std::string & prefix, const std::string & message,
  const char * file = __builtin_FILE(), int line = __builtin_LINE());

}  // namespace ros2_standin

#endif  // ROS2_STANDIN__SRC__RCL_ERRORS_HPP_
