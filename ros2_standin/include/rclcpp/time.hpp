#ifndef RCLCPP__TIME_HPP_
#define RCLCPP__TIME_HPP_

#include <cstdint>

#include "builtin_interfaces/msg/time.hpp"
#include "rcl/time.h"
#include "rclcpp/duration.hpp"
#include "rclcpp/visibility_control.hpp"

namespace rclcpp
{

class RCLCPP_PUBLIC_TYPE Time
{
public:
  // Throws std::runtime_error for negative seconds, as rclcpp does.
  RCLCPP_PUBLIC
  Time(int32_t seconds, uint32_t nanoseconds, rcl_clock_type_t clock_type = RCL_SYSTEM_TIME);

  RCLCPP_PUBLIC
  explicit Time(int64_t nanoseconds = 0, rcl_clock_type_t clock_type = RCL_SYSTEM_TIME);

  RCLCPP_PUBLIC
  Time(const Time & rhs);

  RCLCPP_PUBLIC
  Time(Time && rhs) noexcept;

  // Throws std::runtime_error for negative seconds, as rclcpp does.
  RCLCPP_PUBLIC
  Time(  // NOLINT(runtime/explicit)
    const builtin_interfaces::msg::Time & time_msg, rcl_clock_type_t clock_type = RCL_ROS_TIME);

  RCLCPP_PUBLIC
  virtual ~Time();

  RCLCPP_PUBLIC
  operator builtin_interfaces::msg::Time() const;

  RCLCPP_PUBLIC Time & operator=(const Time & rhs);
  RCLCPP_PUBLIC Time & operator=(Time && rhs) noexcept;
  RCLCPP_PUBLIC Time & operator=(const builtin_interfaces::msg::Time & time_msg);

  // Comparing times of different clock types throws std::runtime_error, as rclcpp does.
  RCLCPP_PUBLIC bool operator==(const rclcpp::Time & rhs) const;
  RCLCPP_PUBLIC bool operator!=(const rclcpp::Time & rhs) const;
  RCLCPP_PUBLIC bool operator<(const rclcpp::Time & rhs) const;
  RCLCPP_PUBLIC bool operator<=(const rclcpp::Time & rhs) const;
  RCLCPP_PUBLIC bool operator>=(const rclcpp::Time & rhs) const;
  RCLCPP_PUBLIC bool operator>(const rclcpp::Time & rhs) const;

  RCLCPP_PUBLIC Time operator+(const rclcpp::Duration & rhs) const;
  RCLCPP_PUBLIC Duration operator-(const rclcpp::Time & rhs) const;
  RCLCPP_PUBLIC Time operator-(const rclcpp::Duration & rhs) const;
  RCLCPP_PUBLIC Time & operator+=(const rclcpp::Duration & rhs);
  RCLCPP_PUBLIC Time & operator-=(const rclcpp::Duration & rhs);

  RCLCPP_PUBLIC
  rcl_time_point_value_t nanoseconds() const;

  RCLCPP_PUBLIC
  static Time max();

  RCLCPP_PUBLIC
  double seconds() const;

  RCLCPP_PUBLIC
  rcl_clock_type_t get_clock_type() const;

private:
  rcl_time_point_value_t nanoseconds_;
  rcl_clock_type_t clock_type_;
};

RCLCPP_PUBLIC
Time operator+(const rclcpp::Duration & lhs, const rclcpp::Time & rhs);

}  // namespace rclcpp

#endif  // RCLCPP__TIME_HPP_
