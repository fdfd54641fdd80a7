#include "rclcpp/clock.hpp"

#include <chrono>
#include <mutex>
#include <string>

#include "clock_access.hpp"
#include "rcl_errors.hpp"

namespace rclcpp
{

class Clock::Impl
{
public:
  explicit Impl(rcl_clock_type_t type) : clock_type(type) {}

  const rcl_clock_type_t clock_type;

  // now() runs on any thread while a time source moves the override.
  std::mutex mutex;
  bool ros_time_override_enabled = false;
  rcl_time_point_value_t ros_time_override = 0;
};

namespace
{

template <typename ChronoClock>
rcl_time_point_value_t nanoseconds_since_epoch()
{
  return std::chrono::duration_cast<std::chrono::nanoseconds>(ChronoClock::now().time_since_epoch())
    .count();
}

}  // namespace

Clock::Clock(rcl_clock_type_t clock_type)
{
  switch (clock_type) {
    case RCL_CLOCK_UNINITIALIZED:
    case RCL_ROS_TIME:
    case RCL_SYSTEM_TIME:
    case RCL_STEADY_TIME:
      impl_ = std::make_shared<Impl>(clock_type);
      return;
  }
  ros2_standin::throw_rcl_error(
    RCL_RET_INVALID_ARGUMENT, "failed to initialize rcl clock", "clock type is not valid");
}

Clock::~Clock() = default;

Time Clock::now()
{
  switch (impl_->clock_type) {
    case RCL_ROS_TIME: {
      std::lock_guard<std::mutex> lock(impl_->mutex);
      if (impl_->ros_time_override_enabled) {
        return Time(impl_->ros_time_override, RCL_ROS_TIME);
      }
      return Time(nanoseconds_since_epoch<std::chrono::system_clock>(), RCL_ROS_TIME);
    }
    case RCL_SYSTEM_TIME:
      return Time(nanoseconds_since_epoch<std::chrono::system_clock>(), RCL_SYSTEM_TIME);
    case RCL_STEADY_TIME:
      return Time(nanoseconds_since_epoch<std::chrono::steady_clock>(), RCL_STEADY_TIME);
    case RCL_CLOCK_UNINITIALIZED:
      break;
  }
  ros2_standin::throw_rcl_error(
    RCL_RET_ERROR, "could not get current time stamp",
    "Clock is not initialized or does not have get_now registered.");
}

bool Clock::ros_time_is_active()
{
  if (impl_->clock_type != RCL_ROS_TIME) {
    ros2_standin::throw_rcl_error(
      RCL_RET_ERROR, "Failed to check ros_time_override_status",
      "Clock is not of type RCL_ROS_TIME, cannot query override state.");
  }
  std::lock_guard<std::mutex> lock(impl_->mutex);
  return impl_->ros_time_override_enabled;
}

rcl_clock_type_t Clock::get_clock_type() const noexcept { return impl_->clock_type; }

}  // namespace rclcpp

namespace ros2_standin
{

namespace
{

// rcl's override calls fail for any other clock type; rclcpp reports that as RCLError.
void require_ros_time(const rclcpp::Clock & clock, const char * prefix, const char * what)
{
  if (clock.get_clock_type() != RCL_ROS_TIME) {
    throw_rcl_error(
      RCL_RET_ERROR, prefix,
      std::string("Clock is not of type RCL_ROS_TIME, cannot ") + what + ".");
  }
}

}  // namespace

void ClockAccess::enable_ros_time_override(rclcpp::Clock & clock)
{
  require_ros_time(clock, "Failed to enable ros_time_override_status", "enable override");
  std::lock_guard<std::mutex> lock(clock.impl_->mutex);
  clock.impl_->ros_time_override_enabled = true;
}

void ClockAccess::disable_ros_time_override(rclcpp::Clock & clock)
{
  require_ros_time(clock, "Failed to disable ros_time_override_status", "disable override");
  std::lock_guard<std::mutex> lock(clock.impl_->mutex);
  clock.impl_->ros_time_override_enabled = false;
}

void ClockAccess::set_ros_time_override(rclcpp::Clock & clock, rcl_time_point_value_t time)
{
  require_ros_time(clock, "Failed to set ros_time_override", "set time override");
  std::lock_guard<std::mutex> lock(clock.impl_->mutex);
  clock.impl_->ros_time_override = time;
}

}  // namespace ros2_standin
