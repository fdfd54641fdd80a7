#include <gtest/gtest.h>

#include <memory>
#include <type_traits>

#include "brimtale_protocol/msg/diagnostic_event.hpp"
#include "builtin_interfaces/msg/time.hpp"
#include "std_msgs/msg/header.hpp"

using brimtale_protocol::msg::DiagnosticEvent;
using builtin_interfaces::msg::Time;
using std_msgs::msg::Header;

// Generated ROS 2 messages have explicit constructors; code relying on implicit conversion
// would not build against the real packages.
static_assert(!std::is_convertible_v<rosidl_runtime_cpp::MessageInitialization, Time>);
static_assert(!std::is_convertible_v<rosidl_runtime_cpp::MessageInitialization, Header>);
static_assert(!std::is_convertible_v<rosidl_runtime_cpp::MessageInitialization, DiagnosticEvent>);
static_assert(std::is_same_v<DiagnosticEvent::SharedPtr, std::shared_ptr<DiagnosticEvent>>);
static_assert(
  std::is_same_v<DiagnosticEvent::ConstSharedPtr, std::shared_ptr<const DiagnosticEvent>>);
static_assert(std::is_same_v<DiagnosticEvent::UniquePtr, std::unique_ptr<DiagnosticEvent>>);
static_assert(std::is_same_v<decltype(Time::sec), int32_t>);
static_assert(std::is_same_v<decltype(Time::nanosec), uint32_t>);
static_assert(std::is_same_v<decltype(DiagnosticEvent::event_id), int32_t>);
static_assert(std::is_same_v<decltype(DiagnosticEvent::event_status), int32_t>);
static_assert(std::is_same_v<decltype(DiagnosticEvent::header), Header>);
static_assert(rosidl_generator_traits::is_message<DiagnosticEvent>::value);
static_assert(!rosidl_generator_traits::is_message<int>::value);

TEST(Messages, DefaultValuesAreZeroAndEmpty)
{
  const DiagnosticEvent event;
  EXPECT_EQ(event.header.stamp.sec, 0);
  EXPECT_EQ(event.header.stamp.nanosec, 0u);
  EXPECT_EQ(event.header.frame_id, "");
  EXPECT_EQ(event.event_id, 0);
  EXPECT_EQ(event.event_status, 0);
  EXPECT_EQ(event.event_msg, "");
}

TEST(Messages, EqualityComparesEveryField)
{
  DiagnosticEvent a;
  a.header.stamp.sec = 5;
  a.header.stamp.nanosec = 6;
  a.header.frame_id = "f";
  a.event_id = 8001;
  a.event_status = 1;
  a.event_msg = "STREAM TIMEOUT";
  const DiagnosticEvent b = a;
  EXPECT_TRUE(a == b);
  EXPECT_FALSE(a != b);

  auto changed = [&a](auto mutate) {
    DiagnosticEvent c = a;
    mutate(c);
    return c;
  };
  EXPECT_NE(a, changed([](DiagnosticEvent & c) { c.header.stamp.sec = 7; }));
  EXPECT_NE(a, changed([](DiagnosticEvent & c) { c.header.stamp.nanosec = 7; }));
  EXPECT_NE(a, changed([](DiagnosticEvent & c) { c.header.frame_id = "g"; }));
  EXPECT_NE(a, changed([](DiagnosticEvent & c) { c.event_id = 8002; }));
  EXPECT_NE(a, changed([](DiagnosticEvent & c) { c.event_status = 0; }));
  EXPECT_NE(a, changed([](DiagnosticEvent & c) { c.event_msg = "STREAM NORMAL"; }));
}

TEST(Messages, SkipInitialisationLeavesStringsEmptyButUsable)
{
  Header header(rosidl_runtime_cpp::MessageInitialization::SKIP);
  header.frame_id = "base_link";
  EXPECT_EQ(header.frame_id, "base_link");
}

TEST(Messages, SettersChain)
{
  DiagnosticEvent event;
  event.set__event_id(8009).set__event_status(1).set__event_msg("LIDAR DATA ABNORMAL");
  EXPECT_EQ(event.event_id, 8009);
  EXPECT_EQ(event.event_status, 1);
  EXPECT_EQ(event.event_msg, "LIDAR DATA ABNORMAL");
}

TEST(Messages, TraitsNameTheRosTypes)
{
  EXPECT_STREQ(
    rosidl_generator_traits::name<DiagnosticEvent>(), "brimtale_protocol/msg/DiagnosticEvent");
  EXPECT_STREQ(rosidl_generator_traits::data_type<Header>(), "std_msgs::msg::Header");
  EXPECT_STREQ(rosidl_generator_traits::name<Time>(), "builtin_interfaces/msg/Time");
}
