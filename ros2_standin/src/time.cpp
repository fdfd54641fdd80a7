#include "rclcpp/time.hpp"

#include <cstdlib>
#include <limits>
#include <stdexcept>

namespace rclcpp
{

namespace
{

constexpr rcl_time_point_value_t kNanosecondsPerSecond = RCL_S_TO_NS(1);

void require_same_clock(const Time & lhs, const Time & rhs, const char * message)
{
  if (lhs.get_clock_type() != rhs.get_clock_type()) {
    throw std::runtime_error(message);
  }
}

rcl_time_point_value_t from_message(const builtin_interfaces::msg::Time & time_msg)
{
  if (time_msg.sec < 0) {
    throw std::runtime_error("cannot store a negative time point in rclcpp::Time");
  }
  return RCL_S_TO_NS(static_cast<rcl_time_point_value_t>(time_msg.sec)) + time_msg.nanosec;
}

rcl_time_point_value_t add_checked(rcl_time_point_value_t a, rcl_time_point_value_t b)
{
  rcl_time_point_value_t sum = 0;
  if (__builtin_add_overflow(a, b, &sum)) {
    if (b > 0) {
      throw std::overflow_error("addition leads to int64_t overflow");
    }
    throw std::underflow_error("addition leads to int64_t underflow");
  }
  return sum;
}

rcl_time_point_value_t subtract_checked(rcl_time_point_value_t a, rcl_time_point_value_t b)
{
  rcl_time_point_value_t difference = 0;
  if (__builtin_sub_overflow(a, b, &difference)) {
    if (b < 0) {
      throw std::overflow_error("time subtraction leads to int64_t overflow");
    }
    throw std::underflow_error("time subtraction leads to int64_t underflow");
  }
  return difference;
}

}  // namespace

Time::Time(int32_t seconds, uint32_t nanoseconds, rcl_clock_type_t clock_type)
: nanoseconds_(0), clock_type_(clock_type)
{
  if (seconds < 0) {
    throw std::runtime_error("cannot store a negative time point in rclcpp::Time");
  }
  nanoseconds_ = RCL_S_TO_NS(static_cast<rcl_time_point_value_t>(seconds)) + nanoseconds;
}

Time::Time(int64_t nanoseconds, rcl_clock_type_t clock_type)
: nanoseconds_(nanoseconds), clock_type_(clock_type)
{
}

Time::Time(const Time & rhs) = default;

Time::Time(Time && rhs) noexcept = default;

Time::Time(const builtin_interfaces::msg::Time & time_msg, rcl_clock_type_t clock_type)
: nanoseconds_(from_message(time_msg)), clock_type_(clock_type)
{
}

Time::~Time() = default;

Time::operator builtin_interfaces::msg::Time() const
{
  builtin_interfaces::msg::Time msg_time;
  const auto result = std::lldiv(nanoseconds_, kNanosecondsPerSecond);
  // Seconds round towards minus infinity so that nanosec stays in [0, 1e9).
  if (result.rem >= 0) {
    msg_time.sec = static_cast<int32_t>(result.quot);
    msg_time.nanosec = static_cast<uint32_t>(result.rem);
  } else {
    msg_time.sec = static_cast<int32_t>(result.quot - 1);
    msg_time.nanosec = static_cast<uint32_t>(kNanosecondsPerSecond + result.rem);
  }
  return msg_time;
}

Time & Time::operator=(const Time & rhs) = default;

Time & Time::operator=(Time && rhs) noexcept = default;

Time & Time::operator=(const builtin_interfaces::msg::Time & time_msg)
{
  *this = Time(time_msg);
  return *this;
}

bool Time::operator==(const rclcpp::Time & rhs) const
{
  require_same_clock(*this, rhs, "can't compare times with different time sources");
  return nanoseconds_ == rhs.nanoseconds_;
}

bool Time::operator!=(const rclcpp::Time & rhs) const { return !(*this == rhs); }

bool Time::operator<(const rclcpp::Time & rhs) const
{
  require_same_clock(*this, rhs, "can't compare times with different time sources");
  return nanoseconds_ < rhs.nanoseconds_;
}

bool Time::operator<=(const rclcpp::Time & rhs) const
{
  require_same_clock(*this, rhs, "can't compare times with different time sources");
  return nanoseconds_ <= rhs.nanoseconds_;
}

bool Time::operator>=(const rclcpp::Time & rhs) const
{
  require_same_clock(*this, rhs, "can't compare times with different time sources");
  return nanoseconds_ >= rhs.nanoseconds_;
}

bool Time::operator>(const rclcpp::Time & rhs) const
{
  require_same_clock(*this, rhs, "can't compare times with different time sources");
  return nanoseconds_ > rhs.nanoseconds_;
}

Time Time::operator+(const rclcpp::Duration & rhs) const
{
  return Time(add_checked(nanoseconds_, rhs.nanoseconds()), clock_type_);
}

Duration Time::operator-(const rclcpp::Time & rhs) const
{
  require_same_clock(*this, rhs, "can't subtract times with different time sources");
  return Duration::from_nanoseconds(subtract_checked(nanoseconds_, rhs.nanoseconds_));
}

Time Time::operator-(const rclcpp::Duration & rhs) const
{
  return Time(subtract_checked(nanoseconds_, rhs.nanoseconds()), clock_type_);
}

Time & Time::operator+=(const rclcpp::Duration & rhs)
{
  nanoseconds_ = add_checked(nanoseconds_, rhs.nanoseconds());
  return *this;
}

Time & Time::operator-=(const rclcpp::Duration & rhs)
{
  nanoseconds_ = subtract_checked(nanoseconds_, rhs.nanoseconds());
  return *this;
}

rcl_time_point_value_t Time::nanoseconds() const { return nanoseconds_; }

Time Time::max() { return Time(std::numeric_limits<int32_t>::max(), 999999999); }

double Time::seconds() const
{
  return static_cast<double>(nanoseconds_) / static_cast<double>(kNanosecondsPerSecond);
}

rcl_clock_type_t Time::get_clock_type() const { return clock_type_; }

Time operator+(const rclcpp::Duration & lhs, const rclcpp::Time & rhs) { return rhs + lhs; }

}  // namespace rclcpp
