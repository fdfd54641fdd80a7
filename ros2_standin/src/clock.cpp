#include "rclcpp/clock.hpp"

#include <chrono>

#include "rcl_errors.hpp"

namespace rclcpp
{

namespace
{

template <typename ChronoClock>
rcl_time_point_value_t nanoseconds_since_epoch()
{
  return std::chrono::duration_cast<std::chrono::nanoseconds>(ChronoClock::now().time_since_epoch())
    .count();
}

}  // namespace

Clock::Clock(rcl_clock_type_t clock_type) : clock_type_(clock_type)
{
  switch (clock_type) {
    case RCL_CLOCK_UNINITIALIZED:
    case RCL_ROS_TIME:
    case RCL_SYSTEM_TIME:
    case RCL_STEADY_TIME:
      return;
  }
  ros2_standin::throw_rcl_error(
    RCL_RET_INVALID_ARGUMENT, "failed to initialize rcl clock", "clock type is not valid");
}

Clock::~Clock() = default;

Time Clock::now() const
{
  switch (clock_type_) {
    case RCL_ROS_TIME:  // without simulated time, ROS time is system time
    case RCL_SYSTEM_TIME:
      return Time(nanoseconds_since_epoch<std::chrono::system_clock>(), clock_type_);
    case RCL_STEADY_TIME:
      return Time(nanoseconds_since_epoch<std::chrono::steady_clock>(), clock_type_);
    case RCL_CLOCK_UNINITIALIZED:
      break;
  }
  ros2_standin::throw_rcl_error(
    RCL_RET_ERROR, "could not get current time stamp",
    "Clock is not initialized or does not have get_now registered.");
}

bool Clock::ros_time_is_active()
{
  if (clock_type_ != RCL_ROS_TIME) {
    ros2_standin::throw_rcl_error(
      RCL_RET_ERROR, "Failed to check ros_time_override_status",
      "Clock is not of type RCL_ROS_TIME, cannot query override state.");
  }
  return false;
}

rcl_clock_type_t Clock::get_clock_type() const noexcept { return clock_type_; }

}  // namespace rclcpp
