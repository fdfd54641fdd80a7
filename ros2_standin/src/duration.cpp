#include "rclcpp/duration.hpp"

#include <cmath>
#include <limits>
#include <stdexcept>

namespace rclcpp
{

namespace
{

constexpr rcl_duration_value_t kNanosecondsPerSecond = 1000LL * 1000LL * 1000LL;

rcl_duration_value_t checked_add(rcl_duration_value_t a, rcl_duration_value_t b)
{
  rcl_duration_value_t sum = 0;
  if (__builtin_add_overflow(a, b, &sum)) {
    throw std::overflow_error("addition leads to int64_t overflow");
  }
  return sum;
}

rcl_duration_value_t checked_subtract(rcl_duration_value_t a, rcl_duration_value_t b)
{
  rcl_duration_value_t difference = 0;
  if (__builtin_sub_overflow(a, b, &difference)) {
    throw std::overflow_error("subtraction leads to int64_t overflow");
  }
  return difference;
}

}  // namespace

Duration::Duration(int32_t seconds, uint32_t nanoseconds)
: nanoseconds_(RCL_S_TO_NS(static_cast<rcl_duration_value_t>(seconds)) + nanoseconds)
{
}

Duration::Duration(std::chrono::nanoseconds nanoseconds) : nanoseconds_(nanoseconds.count()) {}

Duration Duration::from_nanoseconds(rcl_duration_value_t nanoseconds)
{
  return Duration(std::chrono::nanoseconds(nanoseconds));
}

Duration Duration::from_seconds(double seconds)
{
  return Duration(
    std::chrono::nanoseconds(static_cast<int64_t>(std::llround(seconds * kNanosecondsPerSecond))));
}

bool Duration::operator==(const Duration & rhs) const { return nanoseconds_ == rhs.nanoseconds_; }
bool Duration::operator!=(const Duration & rhs) const { return nanoseconds_ != rhs.nanoseconds_; }
bool Duration::operator<(const Duration & rhs) const { return nanoseconds_ < rhs.nanoseconds_; }
bool Duration::operator<=(const Duration & rhs) const { return nanoseconds_ <= rhs.nanoseconds_; }
bool Duration::operator>=(const Duration & rhs) const { return nanoseconds_ >= rhs.nanoseconds_; }
bool Duration::operator>(const Duration & rhs) const { return nanoseconds_ > rhs.nanoseconds_; }

Duration Duration::operator+(const Duration & rhs) const
{
  return from_nanoseconds(checked_add(nanoseconds_, rhs.nanoseconds_));
}

Duration Duration::operator-(const Duration & rhs) const
{
  return from_nanoseconds(checked_subtract(nanoseconds_, rhs.nanoseconds_));
}

rcl_duration_value_t Duration::nanoseconds() const { return nanoseconds_; }

double Duration::seconds() const
{
  return static_cast<double>(nanoseconds_) / static_cast<double>(kNanosecondsPerSecond);
}

}  // namespace rclcpp
