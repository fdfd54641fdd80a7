#ifndef RCLCPP__DURATION_HPP_
#define RCLCPP__DURATION_HPP_

#include <chrono>
#include <cstdint>

#include "rcl/time.h"
#include "rclcpp/visibility_control.hpp"

namespace rclcpp
{

class RCLCPP_PUBLIC_TYPE Duration
{
public:
  RCLCPP_PUBLIC
  Duration(int32_t seconds, uint32_t nanoseconds);

  RCLCPP_PUBLIC
  explicit Duration(std::chrono::nanoseconds nanoseconds);

  template <class Rep, class Period>
  Duration(const std::chrono::duration<Rep, Period> & duration)  // NOLINT(runtime/explicit)
  : Duration(std::chrono::duration_cast<std::chrono::nanoseconds>(duration))
  {
  }

  RCLCPP_PUBLIC
  static Duration from_nanoseconds(rcl_duration_value_t nanoseconds);

  RCLCPP_PUBLIC
  static Duration from_seconds(double seconds);

  RCLCPP_PUBLIC bool operator==(const Duration & rhs) const;
  RCLCPP_PUBLIC bool operator!=(const Duration & rhs) const;
  RCLCPP_PUBLIC bool operator<(const Duration & rhs) const;
  RCLCPP_PUBLIC bool operator<=(const Duration & rhs) const;
  RCLCPP_PUBLIC bool operator>=(const Duration & rhs) const;
  RCLCPP_PUBLIC bool operator>(const Duration & rhs) const;
  RCLCPP_PUBLIC Duration operator+(const Duration & rhs) const;
  RCLCPP_PUBLIC Duration operator-(const Duration & rhs) const;

  RCLCPP_PUBLIC
  rcl_duration_value_t nanoseconds() const;

  RCLCPP_PUBLIC
  double seconds() const;

  template <class DurationT>
  DurationT to_chrono() const
  {
    return std::chrono::duration_cast<DurationT>(std::chrono::nanoseconds(nanoseconds()));
  }

private:
  rcl_duration_value_t nanoseconds_;
};

}  // namespace rclcpp

#endif  // RCLCPP__DURATION_HPP_
