#include "sensor_diagnosis/dependencies.hpp"

#include <chrono>

namespace kelvaron
{
namespace
{

constexpr int64_t kNanosecondsPerMillisecond = 1000000;

// A ROS clock whose time comes from /clock reads zero until the first message: simulated time
// has not started, and nothing can be dated or judged yet.
bool readsNoClockYet(rclcpp::Clock & clock, const rclcpp::Time & now)
{
  return now.nanoseconds() == 0 && clock.get_clock_type() == RCL_ROS_TIME &&
         clock.ros_time_is_active();
}

builtin_interfaces::msg::Time stampFromMs(int64_t ms)
{
  builtin_interfaces::msg::Time stamp;
  stamp.sec = static_cast<int32_t>(ms / 1000);
  stamp.nanosec = static_cast<uint32_t>((ms % 1000) * kNanosecondsPerMillisecond);
  return stamp;
}

}  // namespace

std::optional<int64_t> Dependencies::nowMs() const
{
  if (clock_ms) {
    return clock_ms();
  }
  if (ros_clock) {
    const rclcpp::Time now = ros_clock->now();
    if (!clock_started) {
      if (readsNoClockYet(*ros_clock, now)) {
        return std::nullopt;
      }
      clock_started = true;
    }
    return now.nanoseconds() / kNanosecondsPerMillisecond;
  }
  return wallClockNowMs();
}

builtin_interfaces::msg::Time Dependencies::stampNow() const
{
  if (clock_ms) {
    return stampFromMs(clock_ms().value_or(0));
  }
  if (ros_clock) {
    return ros_clock->now();
  }
  // Straight from the system clock: making an rclcpp::Clock per report would allocate.
  const auto since_epoch = std::chrono::system_clock::now().time_since_epoch();
  return rclcpp::Time(std::chrono::duration_cast<std::chrono::nanoseconds>(since_epoch).count());
}

}  // namespace kelvaron
