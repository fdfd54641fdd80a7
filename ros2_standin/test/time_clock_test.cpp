#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>

#include "builtin_interfaces/msg/time.hpp"
#include "rclcpp/clock.hpp"
#include "rclcpp/duration.hpp"
#include "rclcpp/exceptions.hpp"
#include "rclcpp/time.hpp"

TEST(Time, ConvertsToMessageAndBack)
{
  const rclcpp::Time time(1700000000, 123456789u, RCL_SYSTEM_TIME);
  EXPECT_EQ(time.nanoseconds(), 1700000000123456789LL);
  EXPECT_EQ(time.get_clock_type(), RCL_SYSTEM_TIME);
  const builtin_interfaces::msg::Time message = time;
  EXPECT_EQ(message.sec, 1700000000);
  EXPECT_EQ(message.nanosec, 123456789u);
  EXPECT_EQ(rclcpp::Time(message, RCL_SYSTEM_TIME), time);
  EXPECT_DOUBLE_EQ(rclcpp::Time(int64_t{2500000000}).seconds(), 2.5);
}

TEST(Time, MessageFromNegativeNanosecondsKeepsNanosecInRange)
{
  const builtin_interfaces::msg::Time message = rclcpp::Time(int64_t{-1});
  EXPECT_EQ(message.sec, -1);
  EXPECT_EQ(message.nanosec, 999999999u);
}

TEST(Time, RejectsNegativeSecondsAsRclcppDoes)
{
  EXPECT_THROW(rclcpp::Time(-1, 0u), std::runtime_error);
  builtin_interfaces::msg::Time message;
  message.sec = -3;
  EXPECT_THROW(rclcpp::Time{message}, std::runtime_error);
}

TEST(Time, MessageConstructorDefaultsToRosTime)
{
  builtin_interfaces::msg::Time message;
  message.sec = 1;
  EXPECT_EQ(rclcpp::Time(message).get_clock_type(), RCL_ROS_TIME);
}

TEST(Time, ComparesOnlyTimesOfOneClockType)
{
  const rclcpp::Time early(int64_t{100}, RCL_STEADY_TIME);
  const rclcpp::Time late(int64_t{200}, RCL_STEADY_TIME);
  EXPECT_LT(early, late);
  EXPECT_GE(late, early);
  EXPECT_NE(early, late);
  EXPECT_EQ((late - early).nanoseconds(), 100);
  EXPECT_EQ((early + rclcpp::Duration(std::chrono::nanoseconds(100))), late);
  EXPECT_THROW((void)(early < rclcpp::Time(int64_t{100}, RCL_SYSTEM_TIME)), std::runtime_error);
  EXPECT_THROW((void)(early - rclcpp::Time(int64_t{1}, RCL_ROS_TIME)), std::runtime_error);
}

TEST(Time, ArithmeticOverflowThrows)
{
  EXPECT_THROW(
    (void)(rclcpp::Time(INT64_MAX) + rclcpp::Duration(std::chrono::nanoseconds(1))),
    std::overflow_error);
}

TEST(Duration, ConvertsBetweenUnits)
{
  EXPECT_EQ(rclcpp::Duration(2, 5u).nanoseconds(), 2000000005);
  EXPECT_EQ(rclcpp::Duration(std::chrono::milliseconds(1500)).seconds(), 1.5);
  EXPECT_EQ(
    rclcpp::Duration::from_seconds(0.25).to_chrono<std::chrono::milliseconds>().count(), 250);
}

TEST(Clock, NowFollowsTheClockType)
{
  const auto system_before = std::chrono::system_clock::now().time_since_epoch();
  rclcpp::Clock system_clock(RCL_SYSTEM_TIME);
  const rclcpp::Time system_now = system_clock.now();
  const auto system_after = std::chrono::system_clock::now().time_since_epoch();
  EXPECT_EQ(system_now.get_clock_type(), RCL_SYSTEM_TIME);
  EXPECT_GE(system_now.nanoseconds(), std::chrono::nanoseconds(system_before).count());
  EXPECT_LE(system_now.nanoseconds(), std::chrono::nanoseconds(system_after).count());

  const auto steady_before = std::chrono::steady_clock::now().time_since_epoch();
  const rclcpp::Time steady_now = rclcpp::Clock(RCL_STEADY_TIME).now();
  EXPECT_EQ(steady_now.get_clock_type(), RCL_STEADY_TIME);
  EXPECT_GE(steady_now.nanoseconds(), std::chrono::nanoseconds(steady_before).count());

  // Without simulated time, ROS time reads the system clock.
  const rclcpp::Time ros_now = rclcpp::Clock(RCL_ROS_TIME).now();
  EXPECT_EQ(ros_now.get_clock_type(), RCL_ROS_TIME);
  EXPECT_GE(ros_now.nanoseconds(), system_now.nanoseconds());
}

TEST(Clock, DefaultsToSystemTime) { EXPECT_EQ(rclcpp::Clock().get_clock_type(), RCL_SYSTEM_TIME); }

TEST(Clock, UninitialisedClockFailsOnNowWithRclError)
{
  rclcpp::Clock clock(RCL_CLOCK_UNINITIALIZED);
  EXPECT_THROW(clock.now(), rclcpp::exceptions::RCLError);
}

TEST(Clock, RosTimeIsInactiveWithoutSimulatedTime)
{
  rclcpp::Clock ros_clock(RCL_ROS_TIME);
  EXPECT_FALSE(ros_clock.ros_time_is_active());
  rclcpp::Clock system_clock(RCL_SYSTEM_TIME);
  EXPECT_THROW(system_clock.ros_time_is_active(), rclcpp::exceptions::RCLError);
}
