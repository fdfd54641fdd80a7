#include <gtest/gtest.h>

#include <memory>
#include <type_traits>
#include <vector>

#include "brimtale_protocol/msg/diagnostic_event.hpp"
#include "builtin_interfaces/msg/time.hpp"
#include "diagnostic_msgs/msg/diagnostic_array.hpp"
#include "rosgraph_msgs/msg/clock.hpp"
#include "std_msgs/msg/header.hpp"

using brimtale_protocol::msg::DiagnosticEvent;
using builtin_interfaces::msg::Time;
using diagnostic_msgs::msg::DiagnosticArray;
using diagnostic_msgs::msg::DiagnosticStatus;
using diagnostic_msgs::msg::KeyValue;
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
static_assert(!std::is_convertible_v<rosidl_runtime_cpp::MessageInitialization, DiagnosticArray>);
// rosidl's C++ for the message's `byte`.
static_assert(std::is_same_v<DiagnosticStatus::_level_type, unsigned char>);
static_assert(std::is_same_v<decltype(DiagnosticStatus::OK), const unsigned char>);
static_assert(
  DiagnosticStatus::OK == 0 && DiagnosticStatus::WARN == 1 && DiagnosticStatus::ERROR == 2 &&
  DiagnosticStatus::STALE == 3);
static_assert(std::is_same_v<DiagnosticStatus::_values_type, std::vector<KeyValue>>);
static_assert(std::is_same_v<DiagnosticArray::_status_type, std::vector<DiagnosticStatus>>);
static_assert(std::is_same_v<DiagnosticArray::_header_type, Header>);
static_assert(rosidl_generator_traits::is_message<DiagnosticArray>::value);
static_assert(!rosidl_generator_traits::is_message<int>::value);
static_assert(
  !std::is_convertible_v<rosidl_runtime_cpp::MessageInitialization, rosgraph_msgs::msg::Clock>);
static_assert(std::is_same_v<rosgraph_msgs::msg::Clock::_clock_type, Time>);
static_assert(rosidl_generator_traits::is_message<rosgraph_msgs::msg::Clock>::value);

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

TEST(Messages, DiagnosticDefaultsAreZeroAndEmpty)
{
  const DiagnosticArray array;
  EXPECT_EQ(array.header, Header());
  EXPECT_TRUE(array.status.empty());
  const DiagnosticStatus status;
  EXPECT_EQ(status.level, DiagnosticStatus::OK);
  EXPECT_EQ(status.name, "");
  EXPECT_EQ(status.message, "");
  EXPECT_EQ(status.hardware_id, "");
  EXPECT_TRUE(status.values.empty());
  const KeyValue pair;
  EXPECT_EQ(pair.key, "");
  EXPECT_EQ(pair.value, "");
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
  EXPECT_STREQ(
    rosidl_generator_traits::name<DiagnosticArray>(), "diagnostic_msgs/msg/DiagnosticArray");
  EXPECT_STREQ(
    rosidl_generator_traits::data_type<DiagnosticStatus>(),
    "diagnostic_msgs::msg::DiagnosticStatus");
  EXPECT_STREQ(rosidl_generator_traits::name<KeyValue>(), "diagnostic_msgs/msg/KeyValue");
}
